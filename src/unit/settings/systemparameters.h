#pragma once

#include <QString>

#include <array>
#include <optional>

// Block 0000, the unit's operating parameters: 64 characters, every value a
// byte written as two nibble characters.  Plain data and text functions; the
// settings page binds the value to its boxes.

namespace SystemBlock {

inline constexpr int kLength = 64;

// The numeric boxes, in block order.
enum Field { Ml, Sl, Rt, Run, Rc, Sil, Cont, Rv, Na, Lt, Rd, But, Ls, FieldCount };

struct NumericField {
    Field field;
    const char *control;     // objectName of the box
    int position;            // 0-based character offset in the block
    int low, high;           // clamp applied before writing
    const char *formDefault; // text of the box at start
};

// Block order.  Rc's clamp is 1-35: wider than its hint says ("2 to 30"),
// which is what the unit accepts.
inline constexpr NumericField kNumericFields[FieldCount] = {
    {Ml, "Phs_ml", 0, 0, 15, "1"},
    {Sl, "Phs_sl", 2, 0, 15, "3"},
    {Rt, "Phs_rt", 4, 1, 99, "5"},
    {Run, "Phs_run", 6, 1, 99, "3"},
    {Rc, "Phs_rc", 8, 1, 35, "2"},
    {Sil, "Sil_time", 10, 0, 50, "20"},
    {Cont, "Cont_time", 12, 0, 99, "20"},
    {Rv, "Phs_rv", 14, 0, 7, "3"},
    {Na, "Phs_na", 16, 10, 99, "15"},
    {Lt, "Phs_lt", 18, 0, 9, "0"},
    {Rd, "Phs_rd", 20, 3, 15, "3"},
    {But, "Phs_but", 26, 1, 15, "1"},
    {Ls, "Phs_ls", 32, 0, 50, "20"},
};

// The order in which a write clamps the boxes; a box that is not a number
// stops the write there, the boxes before it keep their clamped text.
inline constexpr Field kClampOrder[FieldCount] = {Run, But, Rt, Sl, Ml, Lt, Ls, Rc, Na, Rv, Rd, Sil, Cont};

// Fixed characters, written always, ignored on reading.
struct FixedRun {
    int position;
    const char *text;
};
inline constexpr FixedRun kFixed[] = {
    {22, "00"},
    {28, "20"},
    {30, "00"},
    {34, "00000000000000"},
    {48, "000000000000"},
};

inline constexpr int kRelay2Position = 24;
inline constexpr int kPs1Position = 60;
inline constexpr int kPs2Position = 62;

// Relay-2 override bits ("Normal" is the value 0 and has no bit).
inline constexpr int kRelay2Key = 0x01;
inline constexpr int kRelay2Line = 0x02;
inline constexpr int kRelay2Ring = 0x04;
inline constexpr int kRelay2NoTimer = 0x08;
inline constexpr int kRelay2Mask = 0x0F;

// PS1 byte.
inline constexpr int kPs1KeylessMsg = 0x01;
inline constexpr int kPs1DivertAllNoAnswer = 0x04;
inline constexpr int kPs1GateAccess = 0x10;
inline constexpr int kPs1PulsingMsgs = 0x40;
inline constexpr int kPs1ShowClock = 0x80;
inline constexpr int kPs1Mask = 0xD5;

// PS2 byte.
inline constexpr int kPs2Gn1Compat = 0x01;
inline constexpr int kPs2GlobalCodes = 0x02;
inline constexpr int kPs2OffAfterRelease = 0x04;
inline constexpr int kPs2DivertAll = 0x10;
inline constexpr int kPs2ScrollLine1 = 0x20;
inline constexpr int kPs2ScrollLine2 = 0x40;
inline constexpr int kPs2ModemEnable = 0x80;
inline constexpr int kPs2Mask = 0xF7;

} // namespace SystemBlock

// What block 0000 holds, as the pages show it: the numeric boxes' texts as
// typed, and the three option bytes.
struct SystemParameters {
    std::array<QString, SystemBlock::FieldCount> numbers;
    int relay2 = 0;
    int ps1 = 0;
    int ps2 = SystemBlock::kPs2OffAfterRelease | SystemBlock::kPs2ModemEnable;

    // The values of a freshly started program.
    static SystemParameters defaults();
};

// Clamps every numeric text in the write's order (the clamped texts stay in
// `value`, so the page can show what is sent) and returns the 64 characters.
// A text that is not a whole number throws ConversionError; the texts
// clamped before it are already changed.
QString EncodeSystemParameters(SystemParameters &value);

// The relay-2 override value as its two characters.
QString EncodeRelay2(int relay2);

// Block 0000 as read: the numeric texts ("" where the data ran out) and the
// three bytes, each absent when the data ends before it (the read cannot
// convert it and stops there).
struct SystemParametersReading {
    std::array<QString, SystemBlock::FieldCount> numbers;
    std::optional<int> relay2;
    std::optional<int> ps1;
    std::optional<int> ps2;
};
SystemParametersReading DecodeSystemParameters(const QString &data);

// The byte of a two-character field; absent for empty text.
std::optional<int> DecodeNibbleByte(const QString &pair);
