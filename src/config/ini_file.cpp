#include "config/ini_file.h"

#include "util/atomic_file.h"
#include "util/code_page.h"
#include "util/error.h"
#include "util/integer_text.h"
#include "util/text_trim.h"

#include <QFile>

namespace {

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString DecodeUtf16(const QByteArray& bytes, qsizetype from, bool bigEndian)
{
    QString text;
    text.reserve((bytes.size() - from) / 2);
    for (qsizetype i = from; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        text += QChar(static_cast<char16_t>(hi << 8 | lo));
    }
    return text;
}

QByteArray EncodeUtf16(const QString& text, bool bigEndian)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2 + 2);
    auto put = [&](char16_t unit) {
        const char lo = static_cast<char>(unit & 0xFF);
        const char hi = static_cast<char>(unit >> 8);
        bytes.append(bigEndian ? hi : lo);
        bytes.append(bigEndian ? lo : hi);
    };
    put(0xFEFF);
    for (const QChar c : text)
        put(c.unicode());
    return bytes;
}

QString DecodeFile(const QByteArray& bytes, TIniEncoding& encoding)
{
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        encoding = TIniEncoding::Utf8Bom;
        return DecodeCodePage(QByteArrayView(bytes).sliced(3), kCodePageUtf8);
    }
    if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        encoding = TIniEncoding::Utf16LeBom;
        return DecodeUtf16(bytes, 2, false);
    }
    if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
        encoding = TIniEncoding::Utf16BeBom;
        return DecodeUtf16(bytes, 2, true);
    }
    encoding = TIniEncoding::Ansi;
    return DecodeCodePage(bytes, kCodePageAnsi);
}

// Splits at CR LF, LF or CR.
QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

std::optional<qint32> ParseHex32(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        int digit;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<quint32>(digit);
    }
    // Eight digits wrap into the negative range, as 0xFFFFFFFF reads -1.
    return static_cast<qint32>(value);
}

} // namespace

TIniFile TIniFile::FromBytes(const QByteArray& bytes)
{
    TIniFile ini;
    const QStringList lines = SplitLines(DecodeFile(bytes, ini.encoding_));
    Section* current = nullptr;
    for (const QString& raw : lines) {
        const QString line = TrimBlanks(raw);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            ini.sections_.append(Section{TrimBlanks(line.mid(1, line.size() - 2)), {}});
            current = &ini.sections_.last();
            continue;
        }
        if (current == nullptr)
            continue; // lines before the first section
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            current->entries.append(Entry{line, QString(), false});
        else
            current->entries.append(
                Entry{TrimBlanks(line.left(equals)), TrimBlanks(line.mid(equals + 1)), true});
    }
    return ini;
}

TIniFile TIniFile::FromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return TIniFile();
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    return FromBytes(bytes);
}

QByteArray TIniFile::ToBytes() const
{
    QString text;
    for (const Section& section : sections_) {
        text += u'[' + section.name + QStringLiteral("]\r\n");
        for (const Entry& entry : section.entries) {
            text += entry.key;
            if (entry.hasSeparator)
                text += u'=' + entry.value;
            text += QStringLiteral("\r\n");
        }
        text += QStringLiteral("\r\n");
    }
    switch (encoding_) {
    case TIniEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TIniEncoding::Utf16LeBom: return EncodeUtf16(text, false);
    case TIniEncoding::Utf16BeBom: return EncodeUtf16(text, true);
    case TIniEncoding::Ansi: break;
    }
    return EncodeCodePage(text, kCodePageAnsi);
}

void TIniFile::SaveToFile(const QString& fileName) const
{
    // The file holds access keys and a proxy password.
    WriteFileAtomically(fileName, ToBytes(), TNewFileAccess::OwnerOnly);
}

const TIniFile::Section* TIniFile::FindSection(const QString& name) const
{
    for (const Section& section : sections_) {
        if (SameName(section.name, name))
            return &section;
    }
    return nullptr;
}

const TIniFile::Entry* TIniFile::FindEntry(const QString& section, const QString& key) const
{
    const Section* found = FindSection(section);
    if (found == nullptr)
        return nullptr;
    for (const Entry& entry : found->entries) {
        if (entry.hasSeparator && SameName(entry.key, key))
            return &entry;
    }
    return nullptr;
}

bool TIniFile::HasValue(const QString& section, const QString& key) const
{
    return FindEntry(section, key) != nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const Entry* entry = FindEntry(section, key);
    return entry != nullptr ? entry->value : defaultValue;
}

qint32 TIniFile::ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const
{
    const QString text = ReadString(section, key, QString());
    std::optional<qint32> value;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        value = ParseHex32(QStringView(text).mid(2));
    else
        value = ParseInt32(text);
    return value.value_or(defaultValue);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    Section* target = const_cast<Section*>(FindSection(section));
    if (target == nullptr) {
        sections_.append(Section{section, {}});
        target = &sections_.last();
    }
    for (Entry& entry : target->entries) {
        if (entry.hasSeparator && SameName(entry.key, key)) {
            entry.key = key;
            entry.value = value;
            return;
        }
    }
    target->entries.append(Entry{key, value, true});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, qint32 value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    for (qsizetype i = 0; i < sections_.size(); ++i) {
        Section& target = sections_[i];
        if (!SameName(target.name, section))
            continue;
        target.entries.removeIf(
            [&](const Entry& entry) { return entry.hasSeparator && SameName(entry.key, key); });
        if (target.entries.isEmpty())
            sections_.removeAt(i);
        return;
    }
}

QStringList TIniFile::SectionNames() const
{
    QStringList names;
    for (const Section& section : sections_)
        names.append(section.name);
    return names;
}

QStringList TIniFile::KeyNames(const QString& section) const
{
    QStringList keys;
    if (const Section* found = FindSection(section)) {
        for (const Entry& entry : found->entries)
            keys.append(entry.key);
    }
    return keys;
}
