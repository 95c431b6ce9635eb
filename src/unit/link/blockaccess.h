#pragma once

#include <QString>

class CommandChannel;

// The block operations on top of the command channel.  A block is named by
// its four decimal digits ("0003"); a read reply carries the block's data in
// line 0 of the receive log from the sixth character on.

// Reads one block and waits for the reply (at most 1728 ms).  The caller
// takes the reply from the receive log (line 0), LastReply and ReplyReady.
void RequestBlock(CommandChannel &channel, const QString &block);

// Reads the block back and tells whether it holds `data`: a read-back line
// must arrive, and its data, cut to the length of `data`, must equal `data`
// up to its first NUL.
bool VerifyBlock(CommandChannel &channel, const QString &block, const QString &data);

// The comparison VerifyBlock makes on the receive log's text after the read:
// a line end must have come, and line 0 from the data offset on, cut to the
// length of `data`, must equal `data` up to its first NUL.
bool ReadBackHolds(const QString &logText, const QString &data);

// Programs the block and verifies it by reading it back, in at most four
// attempts.  The PIN block is sent without showing the command, so the PINs
// never appear in the status bar.  True when an attempt succeeded.
bool ProgramBlock(CommandChannel &channel, const QString &block, const QString &data);
