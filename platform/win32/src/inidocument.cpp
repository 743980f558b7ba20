#include "winsim/inidocument.h"

#include "winsim/text.h"

namespace winsim {

namespace {

constexpr auto npos = std::u16string::npos;

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }

std::u16string_view trim(std::u16string_view s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view unquote(std::u16string_view s) {
  if (s.size() >= 2 && (s.front() == u'"' || s.front() == u'\'') && s.back() == s.front()) return s.substr(1, s.size() - 2);
  return s;
}

}  // namespace

IniDocument::Line IniDocument::classify(std::u16string_view text) {
  Line line;
  line.text = std::u16string(text);
  const std::u16string_view body = trim(text);
  if (body.empty() || body.front() == u';') return line;
  if (body.front() == u'[') {
    const auto close = body.find(u']');
    if (close == npos) return line;
    line.kind = LineKind::Section;
    line.name = std::u16string(trim(body.substr(1, close - 1)));
    return line;
  }
  const auto eq = body.find(u'=');
  if (eq == npos) return line;
  line.kind = LineKind::Key;
  line.name = std::u16string(trim(body.substr(0, eq)));
  line.value = std::u16string(unquote(trim(body.substr(eq + 1))));
  return line;
}

IniDocument IniDocument::parse(std::u16string_view text) {
  IniDocument doc;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find_first_of(u"\r\n", start);
    if (end == npos) end = text.size();
    doc.m_lines.push_back(classify(text.substr(start, end - start)));
    if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ++end;
    start = end + 1;
  }
  return doc;
}

std::size_t IniDocument::findSection(std::u16string_view section) const {
  for (std::size_t i = 0; i < m_lines.size(); ++i)
    if (m_lines[i].kind == LineKind::Section && equalsNoCase(m_lines[i].name, section)) return i;
  return npos;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < m_lines.size() && m_lines[i].kind != LineKind::Section) ++i;
  return i;
}

std::size_t IniDocument::findKey(std::size_t header, std::u16string_view key) const {
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (m_lines[i].kind == LineKind::Key && equalsNoCase(m_lines[i].name, key)) return i;
  return npos;
}

std::optional<std::u16string> IniDocument::value(std::u16string_view section, std::u16string_view key) const {
  const auto header = findSection(section);
  if (header == npos) return std::nullopt;
  const auto line = findKey(header, key);
  if (line == npos) return std::nullopt;
  return m_lines[line].value;
}

bool IniDocument::hasSection(std::u16string_view section) const { return findSection(section) != npos; }

std::vector<std::u16string> IniDocument::sections() const {
  std::vector<std::u16string> names;
  for (const auto& line : m_lines) {
    if (line.kind != LineKind::Section) continue;
    bool seen = false;
    for (const auto& n : names) seen = seen || equalsNoCase(n, line.name);
    if (!seen) names.push_back(line.name);
  }
  return names;
}

std::vector<std::u16string> IniDocument::keys(std::u16string_view section) const {
  std::vector<std::u16string> names;
  const auto header = findSection(section);
  if (header == npos) return names;
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (m_lines[i].kind == LineKind::Key) names.push_back(m_lines[i].name);
  return names;
}

void IniDocument::setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  std::u16string text = std::u16string(key) + u"=" + std::u16string(value);
  auto header = findSection(section);
  if (header == npos) {
    m_lines.push_back(classify(u"[" + std::u16string(section) + u"]"));
    m_lines.push_back(classify(text));
    return;
  }
  const auto line = findKey(header, key);
  if (line != npos) {
    m_lines[line] = classify(text);
    return;
  }
  // Append after the section's last non-blank line, so a blank line that
  // separates it from the next section stays between them.
  std::size_t at = sectionEnd(header);
  while (at > header + 1 && trim(m_lines[at - 1].text).empty()) --at;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), classify(text));
}

void IniDocument::removeKey(std::u16string_view section, std::u16string_view key) {
  const auto header = findSection(section);
  if (header == npos) return;
  const auto line = findKey(header, key);
  if (line != npos) m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(line));
}

void IniDocument::removeSection(std::u16string_view section) {
  const auto header = findSection(section);
  if (header == npos) return;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(header),
                m_lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd(header)));
}

std::u16string IniDocument::serialize() const {
  std::u16string out;
  for (const auto& line : m_lines) {
    out += line.text;
    out += u"\r\n";
  }
  return out;
}

}  // namespace winsim
