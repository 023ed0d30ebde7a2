#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The text encoding a settings file is kept in: the one it was found in (by
// its byte-order mark), otherwise the ANSI code page without a mark.
enum class TIniEncoding { Ansi, Utf8Bom, Utf16LeBom, Utf16BeBom };

// An INI file held in memory. Sections and keys match without regard to
// letter case; sections and entries keep the order in which they stood in the
// file or were first written, and everything this program does not know is
// kept. Comments and blank lines are not kept.
class TIniFile final
{
public:
    TIniFile() = default;

    // Parses the bytes of a file; never fails.
    static TIniFile FromBytes(const QByteArray& bytes);
    // Reads a file. A missing file gives an empty set of sections; a file
    // that exists but cannot be read raises FileError.
    static TIniFile FromFile(const QString& fileName);

    // The whole file: every section, its entries, an empty line; CR LF line
    // ends; in the encoding of the file it was read from.
    QByteArray ToBytes() const;
    // Writes the file so that a failed save leaves the old one as it was
    // (see WriteFileAtomically). A file that did not exist is created
    // readable by its owner only. Raises FileError naming the file and the
    // reason.
    void SaveToFile(const QString& fileName) const;

    TIniEncoding Encoding() const { return encoding_; }
    void SetEncoding(TIniEncoding encoding) { encoding_ = encoding; }

    bool HasValue(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after "0x"; anything else gives the default.
    qint32 ReadInteger(const QString& section, const QString& key, qint32 defaultValue) const;
    // An integer; anything but 0 is true.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, qint32 value);
    void WriteBool(const QString& section, const QString& key, bool value);
    // Removes the entry; a section left without entries goes with it, so a
    // setting back at its default leaves no trace in the file.
    void DeleteKey(const QString& section, const QString& key);

    QStringList SectionNames() const;
    // The keys of a section, in file order.
    QStringList KeyNames(const QString& section) const;

private:
    struct Entry
    {
        QString key;
        QString value;
        bool hasSeparator = true; // false for a line without "=", kept as it stood
    };
    struct Section
    {
        QString name;
        QList<Entry> entries;
    };

    const Section* FindSection(const QString& name) const;
    const Entry* FindEntry(const QString& section, const QString& key) const;

    QList<Section> sections_;
    TIniEncoding encoding_ = TIniEncoding::Ansi;
};
