#pragma once
// The names a MIDI monitor shows: notes as the keys name them, General MIDI controllers,
// registered parameters, system messages and the makers of system exclusive messages. Words are
// Japanese, translated in the "MessageMeaning" context.

#include <QByteArrayView>
#include <QString>

#include <cstdint>

// "C4 (60)": middle C is C4, sharps as "#", the same names the on-screen keys read out.
QString NoteName(int note);

// "ボリューム" for 7; empty for a controller General MIDI leaves undefined. 33..63 are the low
// bytes of 1..31 ("モジュレーション LSB").
QString ControllerName(int controller);
// Controllers 64..69 and 122 are switches: 64 and above is on.
bool ControllerIsSwitch(int controller);
// Channel mode messages whose value means nothing (all notes off and the like): shown without it.
bool ControllerValueIsIgnored(int controller);

// Registered parameters by number (MSB × 128 + LSB): "ピッチベンド・レンジ" for 0; empty when
// unknown. 16383 (7F 7F) is the null parameter.
QString RegisteredParameterName(int number);
constexpr int NullParameter = 0x3FFF;

// System common and real-time messages by status: "ソング・ポジション", "タイミング・クロック".
QString SystemMessageName(uint8_t status);

// The maker a system exclusive ID names, from the bytes after F0 (one byte, or 00 and two more):
// "Roland", "Yamaha", "ユニバーサル非リアルタイム"; unknown IDs as "メーカーID 00 20 7F".
// idLength receives 1 or 3 (0 when the bytes end first).
QString ManufacturerName(QByteArrayView afterF0, int* idLength = nullptr);

// "40 00 7F": uppercase pairs, as data sheets write addresses.
QString UpperHex(QByteArrayView bytes);

// The translation of one of the texts above, in the "MessageMeaning" context.
QString MeaningText(const char* text);
QString MeaningText(const char* text, int n);  // with a plural form (%n)
