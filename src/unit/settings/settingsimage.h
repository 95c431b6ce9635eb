#pragma once

#include "settings/settingsblocks.h"
#include "settings/systemparameters.h"

#include <QByteArray>
#include <QString>

// Everything the settings pages show that the settings file or the blocks
// carry, as one value.
struct SettingsValues {
    SystemParameters system = SystemParameters::defaults();
    RelayCodes codes;
    Messages messages;
    SpeedDials speedDials{QStringLiteral("36001"), QStringLiteral("36002"), QStringLiteral("36003"),
                          QStringLiteral("36004"), QStringLiteral("36005"), QStringLiteral("36006"),
                          QStringLiteral("36007"), QStringLiteral("36008")};
};

// The ".sys" file: a fixed image of length-prefixed text fields and one-byte
// flags, with no header.  Bytes the pages do not own (the reserved fields)
// are zero until a file is loaded and then carry that file's bytes into the
// next one saved.
namespace SettingsImageLayout {
inline constexpr int kSize = 467;

struct TextField {
    int offset;   // the length byte; the characters follow it
    int capacity;
};
inline constexpr TextField kCodes[RelayCodeBlock::kCodes] = {{0, 4}, {5, 4}, {15, 4}, {20, 4}, {30, 4}, {35, 4}};
// msg0 to msg5
inline constexpr TextField kMessages[MessageBlock::kMessages] = {{45, 16},  {62, 16}, {130, 32},
                                                                 {163, 32}, {79, 16}, {96, 16}};
struct NumberField {
    SystemBlock::Field field;
    int offset;
};
inline constexpr int kNumberCapacity = 2;
inline constexpr NumberField kNumbers[] = {
    {SystemBlock::Run, 295}, {SystemBlock::But, 298}, {SystemBlock::Rt, 301}, {SystemBlock::Sl, 304},
    {SystemBlock::Ml, 307},  {SystemBlock::Lt, 310},  {SystemBlock::Ls, 313}, {SystemBlock::Na, 316},
};
inline constexpr TextField kRelay2 = {319, 2};

// One-byte flags: which bit of which option byte each one mirrors.
struct Flag {
    int offset;
    bool ps2; // false: the PS1 byte
    int bit;
};
inline constexpr Flag kScrollLine1 = {322, true, SystemBlock::kPs2ScrollLine1};
inline constexpr Flag kScrollLine2 = {323, true, SystemBlock::kPs2ScrollLine2};
inline constexpr Flag kOffAfterRelease = {324, true, SystemBlock::kPs2OffAfterRelease};
inline constexpr Flag kModemEnable = {325, true, SystemBlock::kPs2ModemEnable};
inline constexpr Flag kGateAccess = {326, false, SystemBlock::kPs1GateAccess};
inline constexpr Flag kGlobalCodes = {327, true, SystemBlock::kPs2GlobalCodes};
inline constexpr Flag kPulsingMsgs = {328, false, SystemBlock::kPs1PulsingMsgs};
inline constexpr Flag kShowClock = {329, false, SystemBlock::kPs1ShowClock};
inline constexpr Flag kFlags[] = {kScrollLine1, kScrollLine2, kOffAfterRelease, kModemEnable,
                                  kGateAccess,  kGlobalCodes, kPulsingMsgs,     kShowClock};

inline constexpr TextField kSpeedDials[SpeedDialBlock::kNumbers] = {{331, 16}, {348, 16}, {365, 16}, {382, 16},
                                                                    {399, 16}, {416, 16}, {433, 16}, {450, 16}};
} // namespace SettingsImageLayout

class SettingsImage {
public:
    SettingsImage();

    const QByteArray &bytes() const { return m_bytes; }

    // Fills the fields the pages own from `values`; reserved bytes stay.
    void build(const SettingsValues &values);
    // Sets in `values` what the file holds; everything else is left alone.
    // The line-2 choice: pulsing messages win over "Sroll Line 2".
    void apply(SettingsValues &values) const;

    // Writes the image; a file that cannot be created throws AppError.
    // False (after the message "Could not save") when not all of it went.
    bool save(const QString &fileName) const;
    // Reads the first bytes of the file into the image.  False (after the
    // message naming the file) when the file is shorter than the image; what
    // was read stays in the image.  False too, the image as it was, when a
    // message holds a control character (the message also names the field).
    // A file that cannot be opened throws.
    bool load(const QString &fileName);

    // The text stored for a numeric box: as typed when it fits; a whole
    // number too long for the field is stored as the value a write would
    // send (100 as 99 for the run timer), not cut to its first characters.
    static QString numberText(const QString &text, SystemBlock::Field field);
    // The line that names a message holding a control character (0-5: msg0 to msg5).
    static QString controlCharacterNote(int message);

private:
    void putText(SettingsImageLayout::TextField field, const QString &text);
    QString text(SettingsImageLayout::TextField field) const;

    QByteArray m_bytes;
};
