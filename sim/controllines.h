#pragma once

#include <QByteArray>

class Simulator;

// The control lines the simulator reads on its standard input, so that a
// person or a test can act at the unit while the program talks to it:
//   tag HEX10                      a tag is held to the reader
//   tag-bad HEX10                  the same, with a wrong check byte
//   event ROOM SOURCE RELAY NAME   an event now: ROOM is a room number,
//                                  incall, error or buttonN; SOURCE local,
//                                  remote or rfid; NAME may be left out
//   dump                           the unit's memory as JSON
//   quit                           save the memory and end
struct ControlResult {
    QByteArray output; // what to print, ended by a line end
    bool quit = false;
};

ControlResult RunControlLine(Simulator &simulator, const QByteArray &line);
