#pragma once

#include "settings/settingsblocks.h"
#include "settings/settingsimage.h"
#include "settings/systemparameters.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// Every value the settings pages hold for the unit, without a widget: the
// option bytes and numbers of block 0000, the relay codes, speed dials,
// messages, divert numbers and times, the access codes, which boxes a read
// left unread, and the image behind the ".sys" file.  Texts are single
// bytes (U+0000-U+00FF), as the unit and the file carry them.
//
// It decodes read replies, builds the exact program commands of each Write,
// builds and loads the settings file, and applies the rules between options,
// all as the settings page does with its boxes, so that the page can later
// be reduced to showing this model (and a command-line tool can drive it).
class SettingsModel {
public:
    // The reads, by the block or dump each one sends.
    enum class Read { SystemParameters, RelayCodes, SpeedDials, Messages, DivertNumbers, DivertTimes, Pins };
    // The Write buttons.  Diverts is the "Divert #" Write: blocks 0005 and
    // 0002, then block 0000, which holds the two divert choices.
    enum class Write { SystemParameters, RelayCodes, SpeedDials, Messages, Diverts, Pins };
    // The rows of boxes a read fills; a box is one index within its row.
    enum class Row { RelayCodes, SpeedDials, Messages, DivertNumbers, DivertTimes, Pins };
    // The "LCD Line2 Options" radio group.
    enum class Line2 { RadioButton1, PS2_srl2, PS1_pmsg };
    // The boxes of the "Relay2 Override" group a click can land on.
    enum class Relay2Box { rly2off, rly2key, rly2line, rly2ring };

    struct WriteResult {
        // The program commands, CR included, in the order they are sent.
        QStringList commands;
        // What the user is told before anything is sent: a block refused
        // because a read left one of its boxes unread (or a message holds a
        // control character), or the conversion error that stops block 0000.
        QStringList messages;
        // Block 0000 could not be converted: nothing more was sent after it.
        bool stopped = false;
    };

    SettingsModel();

    // --- reads ---
    static QString readCommand(Read read);
    // The receive log's text for bytes that came from the unit: single
    // bytes, the NULs dropped as the command channel drops them.
    static QString receivedText(const QByteArray &bytes);
    // Line `index` of a received text split at CR LF; empty when there is none.
    static QString lineOf(const QString &text, int index);
    // Decodes the text received after readCommand(read).  False only for
    // block 0000 not received whole: nothing changes then, the page reports
    // the conversion error and a read-all stops there.  Blocks 0000 and 0001
    // rebuild the file image whatever came, as their reads do.
    bool applyReply(Read read, const QString &received);

    // --- writes ---
    // The commands of a Write.  Block 0000 is clamped first, and the clamped
    // numbers stay, as the boxes then show what is sent.
    WriteResult write(Write which);
    // The 64 characters of block 0000 (clamps; throws ConversionError).
    QString EncodeSystemParameters();
    QString EncodeRelay2();
    // Sets the four override boxes from a two-character value (throws
    // ConversionError for an empty one).
    void ApplyRelay2(const QString &pair);

    // --- the settings file ---
    // The bytes Save As writes (the image rebuilt from the values first).
    QByteArray settingsFileBytes();
    // Open: the file's bytes into the image and, when all of them came and
    // no message holds a control character, into the values.  False with
    // the message the user is shown otherwise.
    bool loadSettingsFile(const QByteArray &fileBytes, const QString &fileName, QString *message = nullptr);
    void BuildSettingsImage();
    void ApplySettingsImage();
    const QByteArray &imageBytes() const { return m_image; }

    // --- values ---
    SettingsValues values() const;
    const SystemParameters &systemParameters() const { return m_system; }
    const RelayCodes &relayCodes() const { return m_codes; }
    const SpeedDials &speedDials() const { return m_speedDials; }
    const Messages &messages() const { return m_messages; }
    const DivertNumbers &divertNumbers() const { return m_divertNumbers; }
    // The time boxes as shown ("HH:MM", '_' where a place is unfilled) and
    // the hidden HHMM texts that are written.
    const std::array<QString, DivertBlock::kTimes> &maskEditTexts() const { return m_maskEdits; }
    const DivertTimes &divertTimes() const { return m_times; }
    QString Edit4() const { return m_edit4; }
    const AccessCodes &accessCodes() const { return m_access; }
    Line2 line2Choice() const;
    bool rly2off() const { return m_rly2off; }
    bool readFailed(Row row, int index) const;

    // What the user types or ticks.  A typed box is no longer one a failed
    // read left: its block may be written again.
    void setNumber(SystemBlock::Field field, const QString &text);
    void setRelayCode(int index, const QString &text);
    void setSpeedDial(int index, const QString &text);
    void setMessage(int index, const QString &text);
    void setDivertNumber(int index, const QString &text);
    void setDivertTime(int index, const QString &text); // as typed into MaskEdit1-4
    void setAccessCode(int index, const QString &text);
    // An option bit without a rule of its own: PS1_gacc, PS1_sclk and
    // Divert4AllNA in the PS1 byte; PS2_gn1c, PS2_grls, Divert4All, PS2_srl1
    // and PS2_mden in the PS2 byte.  The bits with rules (the line-2 choice,
    // the keyless message, the global codes) go through the rules below.
    void setPs1Bit(int bit, bool on);
    void setPs2Bit(int bit, bool on);

    // --- the rules between options ---
    // A line-2 choice made: the clock can be shown only with "Fixed2 message".
    void chooseLine2(Line2 choice);
    // "Use the 'Pulsing Msg1+2' as the Keyless entry message" ticked or
    // cleared: ticked takes "Enable pulsing msgs" away (and its selection).
    void setKeylessMessage(bool ticked);
    void setGlobalCodes(bool ticked);
    // A click on a box of the "Relay2 Override" group: "Normal" clears the
    // others and takes "Don't use timer" away; the others toggle, clear
    // "Normal" and give "Don't use timer" back.
    void clickRelay2(Relay2Box box);
    // "Don't use timer": no rule of its own.
    void setRelay2NoTimer(bool ticked);

    bool showClockEnabled() const { return line2Choice() == Line2::RadioButton1; }
    bool pulsingMsgsEnabled() const { return !(m_system.ps1 & SystemBlock::kPs1KeylessMsg); }
    bool rly2timEnabled() const { return m_rly2timEnabled; }
    // The global gate codes are in effect: code_g1 and code_g2 in the standard
    // colour, "Global codes currently disabled" hidden, and the directory's
    // per-resident code columns dimmed instead.
    bool globalCodesInEffect() const { return m_system.ps2 & SystemBlock::kPs2GlobalCodes; }
    // Relay 2 is taken by the override ("On a key press" or "When Line is
    // looped"; "When Phone Rings" leaves it free): its codes are dimmed.
    bool relay2CodesOverridden() const
    {
        return m_system.relay2 & (SystemBlock::kRelay2Key | SystemBlock::kRelay2Line);
    }
    // The messages' Write follows the log-on on every sub-page (the page
    // does not take it away on "Divert #").
    static bool messagesWriteEnabled(bool unitButtonsEnabled, int subPage);

private:
    void decodeSystemParameters(const QString &line);
    void applyLine2(Line2 choice);
    void applyRelay2Value(int value);
    void keylessChanged(bool ticked);
    void noteRead(Row row, int index, bool arrived);
    bool anyReadFailed(Row row, int first, int count) const;
    void timeBoxChanged(int index, const QString &text);
    void writeSystemParameters(WriteResult &result);
    void putText(SettingsImageLayout::TextField field, const QString &text);
    QString imageText(SettingsImageLayout::TextField field) const;

    SystemParameters m_system = SystemParameters::defaults();
    bool m_rly2off = true;
    bool m_rly2timEnabled = false;
    RelayCodes m_codes;
    SpeedDials m_speedDials;
    Messages m_messages;
    DivertNumbers m_divertNumbers;
    std::array<QString, DivertBlock::kTimes> m_maskEdits;
    DivertTimes m_times;
    QString m_edit4;
    AccessCodes m_access;
    // Per row, one bit per box that a read filled from a field the reply did
    // not wholly hold.
    std::array<quint32, 6> m_failed{};
    QByteArray m_image;
};
