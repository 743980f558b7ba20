// parseRtf's choice between rich and plain text, the plain-text reader, and
// the document's text as EM_GETTEXT gives it.
#include "winsim/rtf.h"

#include "rtfreader.h"
#include "winsim/codepage.h"
#include "winsim/text.h"

namespace winsim {

namespace {

constexpr std::string_view kRtfSignature = "{\\rtf";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";

std::u16string fromUtf16Le(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return text;
}

}  // namespace

std::u16string RtfDocument::plainText() const {
  std::u16string text;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += u"\r\n";
    for (const RtfRun& run : paragraphs[i].runs) text += run.text;
  }
  return text;
}

Expected<RtfDocument> parseRtf(std::string_view bytes) {
  if (bytes.starts_with(kRtfSignature)) return rtf::readRichText(bytes);
  return rtf::readPlainText(bytes);
}

namespace rtf {

RtfDocument readPlainText(std::string_view bytes) {
  std::u16string text;
  if (bytes.starts_with(kUtf8Mark))
    text = fromUtf8(bytes.substr(kUtf8Mark.size()));
  else if (bytes.starts_with(kUtf16Mark))
    text = fromUtf16Le(bytes.substr(kUtf16Mark.size()));
  else
    text = fromAnsi(bytes);

  RtfDocument document;
  RtfParagraph paragraph;
  RtfRun run;
  auto endParagraph = [&] {
    if (!run.text.empty()) paragraph.runs.push_back(std::move(run));
    run = RtfRun{};
    document.paragraphs.push_back(std::move(paragraph));
    paragraph = RtfParagraph{};
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t const c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      endParagraph();
    } else if (c != 0) {
      run.text.push_back(c);
    }
  }
  // Text after the last line end is a paragraph of its own; a final line end
  // closes the last paragraph and starts none.
  if (!run.text.empty()) endParagraph();
  return document;
}

}  // namespace rtf

}  // namespace winsim
