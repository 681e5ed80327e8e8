#include "IniFile.h"

#include "util/FileUtil.h"
#include "util/Text.h"

#include <unordered_map>

namespace tarvik {

namespace {

std::string_view TrimIni(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    size_t end = text.size();
    while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(start, end - start);
}

std::string Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    // Whole, however long: a value cut short would lose record types' last
    // identifiers without a word. The file's size is bounded before it is read.
    return std::string(value);
}

} // namespace

IniDocument IniDocument::Load(const std::string& path)
{
    std::string text;
    if (ReadWholeFile(path, text))
        return {};
    return Parse(text);
}

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument doc;
    bool lineEndChosen = false;
    size_t pos = 0;
    doc.endsWithLineEnd_ = text.empty() || text.back() == '\n' || text.back() == '\r';
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        Line line;
        line.text.assign(text.substr(pos, end - pos));
        if (end < text.size()) {
            const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            if (!lineEndChosen) {
                doc.lineEnd_ = crlf ? "\r\n" : std::string(1, text[end]);
                lineEndChosen = true;
            }
            end += crlf ? 2 : 1;
        }
        pos = end;

        const std::string_view trimmed = TrimIni(line.text);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const size_t close = trimmed.find(']');
            line.kind = Line::Kind::Section;
            line.section.assign(TrimIni(trimmed.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        } else if (!trimmed.empty() && trimmed.front() != ';') {
            const size_t equals = trimmed.find('=');
            if (equals != std::string_view::npos) {
                line.kind = Line::Kind::Key;
                line.key.assign(TrimIni(trimmed.substr(0, equals)));
                line.value = Unquote(TrimIni(trimmed.substr(equals + 1)));
            }
        }
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

int IniDocument::FindSection(std::string_view section) const
{
    const std::string_view wanted = TrimIni(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Kind::Section && EqualsNoCase(lines_[i].section, wanted))
            return static_cast<int>(i);
    }
    return -1;
}

int IniDocument::FindKey(int header, std::string_view key) const
{
    const std::string_view wanted = TrimIni(key);
    for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Kind::Section)
            break;
        if (lines_[i].kind == Line::Kind::Key && EqualsNoCase(lines_[i].key, wanted))
            return static_cast<int>(i);
    }
    return -1;
}

std::string IniDocument::Value(std::string_view section, std::string_view key) const
{
    const int header = FindSection(section);
    if (header < 0)
        return {};
    const int line = FindKey(header, key);
    return line < 0 ? std::string() : lines_[static_cast<size_t>(line)].value;
}

bool IniDocument::HasKey(std::string_view section, std::string_view key) const
{
    const int header = FindSection(section);
    return header >= 0 && FindKey(header, key) >= 0;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const
{
    std::vector<std::string> keys;
    const int header = FindSection(section);
    if (header < 0)
        return keys;
    for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Kind::Section)
            break;
        if (lines_[i].kind == Line::Kind::Key && !lines_[i].key.empty())
            keys.push_back(lines_[i].key);
    }
    return keys;
}

std::vector<std::pair<std::string, std::string>>
IniDocument::Entries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    const int header = FindSection(section);
    if (header < 0)
        return entries;
    std::unordered_map<std::string, size_t> firstOf; // lower-case key -> its first entry
    for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Line::Kind::Section)
            break;
        if (line.kind != Line::Kind::Key || line.key.empty())
            continue;
        const auto [first, isFirst] = firstOf.try_emplace(ToLower(line.key), entries.size());
        entries.emplace_back(line.key, isFirst ? line.value : entries[first->second].second);
    }
    return entries;
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    Line keyLine;
    keyLine.kind = Line::Kind::Key;
    keyLine.key.assign(TrimIni(key));
    keyLine.value = Unquote(TrimIni(value));

    int header = FindSection(section);
    if (header < 0) {
        if (!lines_.empty() && !TrimIni(lines_.back().text).empty()) {
            lines_.emplace_back();
        }
        Line sectionLine;
        sectionLine.kind = Line::Kind::Section;
        sectionLine.section.assign(TrimIni(section));
        sectionLine.text = "[" + sectionLine.section + "]";
        lines_.push_back(std::move(sectionLine));
        header = static_cast<int>(lines_.size()) - 1;
        endsWithLineEnd_ = true;
    }
    const int existing = FindKey(header, key);
    if (existing >= 0) {
        Line& line = lines_[static_cast<size_t>(existing)];
        // Keep the key as the file spells it, and its indentation.
        const size_t indent = line.text.find_first_not_of(" \t");
        line.text = line.text.substr(0, indent == std::string::npos ? 0 : indent) + line.key + "=" +
                    std::string(value);
        line.value = keyLine.value;
        return;
    }
    // After the last non-blank line of the section.
    size_t insertAt = static_cast<size_t>(header) + 1;
    for (size_t i = insertAt; i < lines_.size(); ++i) {
        if (lines_[i].kind == Line::Kind::Section)
            break;
        if (!TrimIni(lines_[i].text).empty())
            insertAt = i + 1;
    }
    keyLine.text = keyLine.key + "=" + std::string(value);
    if (insertAt == lines_.size())
        endsWithLineEnd_ = true;
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(insertAt), std::move(keyLine));
}

std::string IniDocument::Text() const
{
    std::string text;
    for (size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i].text;
        if (i + 1 < lines_.size() || endsWithLineEnd_)
            text += lineEnd_;
    }
    return text;
}

std::string ReadINI(const std::string& file, std::string_view section, std::string_view key)
{
    return IniDocument::Load(file).Value(section, key);
}

std::string ReadINIKeyList(const std::string& file, std::string_view section)
{
    std::string list;
    for (const auto& key : IniDocument::Load(file).Keys(section)) {
        list += key;
        list.push_back('\0');
    }
    return list;
}

bool WriteINI(const std::string& file, std::string_view section, std::string_view key,
              std::string_view value)
{
    std::string text;
    if (const Error error = ReadWholeFile(file, text); error && FileExists(file))
        return false; // never replace a file we could not read
    IniDocument doc = IniDocument::Parse(text);
    doc.SetValue(section, key, value);
    return !WriteFileAtomically(file, doc.Text());
}

} // namespace tarvik
