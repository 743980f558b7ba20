// The rich-edit control's RTF reader: EM_STREAMIN turns the bytes of a rich
// text file into this document model, and the control lays the model out
// (winsim/rtflayout.h) and answers EM_GETTEXT from it.
//
// What is kept is what a licence text uses: paragraphs (\par) with their
// alignment, indents and spacing, runs of UTF-16 text with bold, italic,
// underline, size, colour and font face, tabs and line breaks. Text in \'hh
// escapes is decoded in the code page of the current font's character set
// (\fcharset 134, 136, 128 give 936, 950, 932; 0 gives 1252), else of the
// document (\ansicpgN; \ansi alone is 1252); \uN is taken as a signed 16-bit
// unit and followed by \ucN skipped characters. Destinations that are not
// shown (\*\..., the font and colour tables once read, \stylesheet, \info,
// \pict, \object, headers, footers ...) are skipped, \binN data included.
//
// Input that does not start with "{\rtf" is read as plain text, as the control
// reads a stream that is not rich text: in the machine's ANSI code page (or
// UTF-8 / UTF-16 after a byte-order mark), one paragraph per line.
//
// Damaged input gives a best-effort document: text after the outermost group
// has closed is ignored, groups left open at the end are closed, numbers too
// large saturate, a truncated escape is dropped. Only groups nested deeper than
// kRtfMaxGroupDepth are refused, with ERROR_INVALID_DATA.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/gdi.h"
#include "winsim/expected.h"

namespace winsim {

enum class RtfAlignment { Left, Center, Right, Justify };

struct RtfCharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  /// \fsN: the size in half points; 24 (12 points) where the document sets none.
  int halfPoints = 24;
  /// The colour table's entry (0x00BBGGRR); none for the automatic colour,
  /// which the control draws in its default text colour.
  std::optional<COLORREF> color;
  /// The font table's face name; empty where the document names no font.
  std::u16string face;
  /// The font table's \fcharsetN, DEFAULT_CHARSET where it gives none.
  BYTE charSet = DEFAULT_CHARSET;

  friend bool operator==(const RtfCharFormat&, const RtfCharFormat&) = default;
};

/// Text of one format. A tab is U+0009, a line break inside the paragraph
/// (\line) U+000B, as the control keeps them.
struct RtfRun {
  std::u16string text;
  RtfCharFormat format;
};

/// Paragraph properties; lengths in twips (1/1440 inch), limited to 22 inches.
struct RtfParagraphFormat {
  RtfAlignment alignment = RtfAlignment::Left;
  int leftIndent = 0;   ///< \liN
  int rightIndent = 0;  ///< \riN
  int firstIndent = 0;  ///< \fiN: the first line's indent from leftIndent, negative for a hanging indent
  int spaceBefore = 0;  ///< \sbN
  int spaceAfter = 0;   ///< \saN
  /// \slN: 0 is single spacing; > 0 at least N, < 0 exactly -N; with
  /// lineMultiple (\slmult1) N/240 of single spacing.
  int lineSpacing = 0;
  bool lineMultiple = false;

  friend bool operator==(const RtfParagraphFormat&, const RtfParagraphFormat&) = default;
};

struct RtfParagraph {
  std::vector<RtfRun> runs;
  RtfParagraphFormat format;
  /// The format at the paragraph mark: it gives an empty paragraph its height.
  RtfCharFormat markFormat;
};

struct RtfDocument {
  std::vector<RtfParagraph> paragraphs;

  /// The text as EM_GETTEXT gives it: paragraphs joined by "\r\n" (none after
  /// the last, since the last \par of a stream becomes the control's own final
  /// paragraph mark), tabs and line breaks as in the runs.
  std::u16string plainText() const;
};

inline constexpr int kRtfMaxGroupDepth = 1000;

/// Reads a rich text stream (or plain text, see above) into a document.
Expected<RtfDocument> parseRtf(std::string_view bytes);

}  // namespace winsim
