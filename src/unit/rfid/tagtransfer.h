#pragma once

#include <QString>

#include <functional>

class CommandChannel;
class RecordTable;

// The conversations of the tag page with the unit: the download of the tag
// table into the directory and the write-all that replaces the unit's tag
// table by the directory's tags.  Window-free: the page brackets them with
// the busy look of a transfer (transfer window, hourglass, blinking LED,
// keep-alive paused, BulkTransfer and BulkBusy set) and binds the hooks.
struct TagTransferHooks {
    // Every pause of the sequences, in Delay units.
    std::function<void(int)> pause;
    // Whether the link is still held; a write-all stops when it is not.
    std::function<bool()> linkUp = [] { return true; };
    // The directory held no record: define it afresh, open and empty it and
    // lay out its grids.
    std::function<void()> defineTable;
    // The directory was changed from the unit: it may be saved.
    std::function<void()> phoneListChanged;
};

namespace TagTransferText {
inline const QString kCommunicationError = QStringLiteral("communication error");
inline const QString kBadCodeFormat = QStringLiteral("Note, the current record has\r\nincorrect RFID data format.\r\nrescan or erase the code.");
inline const QString kBadCodeForRoom = QStringLiteral("error in RF-ID code for\r\nroom number:");
inline const QString kTooManyTags = QStringLiteral("NB could not save all codes\r\nMaximum is 512 RF-ID's.");
inline const QString kSaveErrors = QStringLiteral("there was an error saving the codes,\r\nPlease try again");
} // namespace TagTransferText

enum class TagDownloadResult {
    NoReply,  // "communication error" was shown; the directory is unchanged
    LinkLost, // the link was let go meanwhile; the directory is unchanged
    Merged,   // the directory's tag codes are now the unit's
};

// Dumps the unit's tag area and merges its tags into the directory by room.
// Without a reply it shows "communication error" and changes nothing.  A
// log-off before the dump is whole (also in the wait for its last lines,
// whose text the log-off throws away) changes nothing either, quietly.
TagDownloadResult DownloadTags(CommandChannel &channel, RecordTable &table, const TagTransferHooks &hooks);

enum class TagWriteResult {
    BadCode,   // a code of the wrong length: message shown, nothing sent, cursor on it
    NoReply,   // the unit stopped answering: "communication error"
    LinkLost,  // the link was let go meanwhile
    Written,   // every tag written and read back
    Errors,    // some block failed its read-back: message shown
    TooMany,   // the first 512 written, the limit message shown
};

// Checks every tag code: at the first one that is neither empty nor ten
// characters long it shows the message, leaves the cursor on that record
// and returns false.
bool CheckTagCodes(RecordTable &table);

// Erases the unit's tag table, then writes the directory's tags block by
// block, each in up to three attempts and read back.  Call after
// CheckTagCodes.
TagWriteResult WriteAllTags(CommandChannel &channel, RecordTable &table, const TagTransferHooks &hooks);

// Reads a tag block back: true when its data is all "?" (also when no data
// came).
bool IsBlockBlank(CommandChannel &channel, const QString &block, const TagTransferHooks &hooks);

// Whether the unit holds `text` in the block, programming it again between
// the two checks.
bool VerifyRfidBlock(CommandChannel &channel, const QString &block, const QString &text, const TagTransferHooks &hooks);
