// Conversions between the PC's 8-bit code pages (Windows-1250, Windows-1251) and the
// operator panel's own character sets, and the rules for text fields on the wire.
//
// Every function works byte by byte on 8-bit strings. A conversion may drop bytes that the
// other side cannot show, so its result can be shorter than its input.
#pragma once

#include <QByteArray>
#include <QString>

namespace qdx {

// Values of the code page setting (Session.codePageIndex). A value outside 0..3 converts
// nothing, like Standard.
inline constexpr int kCodePageStandard = 0;
inline constexpr int kCodePageCyrillic = 1;
inline constexpr int kCodePagePolish = 2;
inline constexpr int kCodePageSlovak = 3;
inline constexpr int kCodePageCount = 4;

bool IsValidCodePageIndex(int codePageIndex);
// The text of the setting in the main window's list: "Standard", "Cyryllic", "Polish",
// "PC852 (Slovakia)"; empty for a value outside 0..3.
QString CodePageListText(int codePageIndex);

// Windows-1250 capitals to the panel's Polish codes; everything else unchanged.
QByteArray ToPanelPolish(const QByteArray& text);
QByteArray FromPanelPolish(const QByteArray& text);
// Windows-1251 to the panel's Cyrillic set (letters placed as in code page 866); bytes of
// 80..BF without a counterpart are dropped.
QByteArray ToPanelCyrillic(const QByteArray& text);
// Drops the panel's box-drawing bytes B0..DF and FB, FD, FE, FF.
QByteArray FromPanelCyrillic(const QByteArray& text);
// Windows-1250 to the panel's Slovak set (mostly code page 852). Not an exact inverse pair:
// both l with caron (BE) and i acute (ED) go to A1, which comes back as i acute.
QByteArray ToPanelSlovak(const QByteArray& text);
QByteArray FromPanelSlovak(const QByteArray& text);

// The conversion the setting selects, towards the controller and back.
QByteArray ToPanel(const QByteArray& text, int codePageIndex);
QByteArray FromPanel(const QByteArray& text, int codePageIndex);

// Replaces the Windows-1250 Polish letters by plain ASCII letters. Does nothing while the
// setting is Cyrillic: those bytes are Cyrillic letters in Windows-1251.
QByteArray StripPolishDiacritics(const QByteArray& text, int codePageIndex);

// A text field as it goes out: converted towards the controller first (conversion can drop
// bytes, so it comes before cutting), then cut to the wire width and padded with blanks.
// The result is always exactly wireWidth bytes (none for a width of 0 or below).
QByteArray EncodeTextField(const QByteArray& text, int codePageIndex, int wireWidth);

// Which bytes of a received field do not belong to the text.
enum class TextFieldSkip {
  Zero,       // 0x00 bytes (every text field)
  ZeroAndFF,  // 0x00 and 0xFF bytes (program names)
};

// A text field as it comes in: the skipped bytes are left out (they do not end the text),
// the rest is converted from the controller, blanks and control characters are trimmed at
// both ends, and the result is cut to the record's capacity.
QByteArray DecodeTextField(const QByteArray& wire, int codePageIndex, int capacity,
                           TextFieldSkip skip = TextFieldSkip::Zero);

}  // namespace qdx
