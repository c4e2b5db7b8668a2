#pragma once

#include "common/apperror.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The settings file is a Windows initialisation file in code page 1250 with CRLF line ends:
// "[Section]" lines and "key=value" lines. Windows workstations edit files of this form, so the
// reader follows the private-profile functions: section and key names compare without regard
// to letter case, blanks and tabs around names and values are dropped (also around a section
// name asked for or written), the first of duplicate
// sections or keys wins, and lines the reader does not understand are kept as they are.
// Values are returned verbatim otherwise (no quote stripping: a scrambled profile may begin and
// end with a quote character by chance).

// A settings write that failed: the file cannot be read back, replaced, or the text cannot be
// stored in code page 1250.
class IniError : public AppError
{
public:
    using AppError::AppError;
};

// The file's contents in memory. Lines that are not touched by a change keep their bytes.
class IniDocument
{
public:
    IniDocument() = default;
    static IniDocument fromBytes(QByteArrayView data);
    // Every line ended by CRLF, code page 1250.
    QByteArray toBytes() const;

    bool contains(const QString &section, const QString &key) const;
    std::optional<QString> value(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    // The key names of a section in file order (each once).
    QStringList keys(const QString &section) const;

    // Replaces the first line of the key or adds one at the end of the section, adding the
    // section at the end of the file when it is missing. Line breaks in the value become blanks
    // (they would start a new key or section). Throws IniError for a name that cannot stand
    // in the file or text that code page 1250 cannot hold.
    void setValue(const QString &section, const QString &key, const QString &value);
    // Removes every line of the key in the section; true when one was there.
    bool remove(const QString &section, const QString &key);

private:
    qsizetype findSection(const QString &section) const;
    qsizetype findKey(qsizetype sectionLine, const QString &key) const;
    qsizetype sectionEnd(qsizetype sectionLine) const;

    QList<QByteArray> m_lines;
};

// One settings file on disk. Every call opens the file, does its work and closes it again, so a
// value written is on disk at once and another running instance sees it. A missing or
// unreadable file reads as empty. Writes build the whole new file and replace the old one only
// when it is complete (QSaveFile); they throw IniError on failure and leave the old file as it
// was. The folder is never created here.
class IniFile
{
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}
    const QString &path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // A value that is not a whole number (decimal, or hexadecimal after "$" or "0x") gives the
    // default.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // Read as an integer: 0 is false, any other number true, anything else the default.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    bool keyExists(const QString &section, const QString &key) const;
    QStringList readKeys(const QString &section) const;
    IniDocument read() const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    // Written as "1" or "0".
    void writeBool(const QString &section, const QString &key, bool value);
    // Nothing is written when the key is not there.
    void deleteKey(const QString &section, const QString &key);
    // Several changes in one replacement of the file: all of them land or none.
    void update(const std::function<void(IniDocument &)> &change);

private:
    QString m_path;
};

// Whole number as the settings file holds it; nullopt when the text is not one.
std::optional<int> ParseIniInteger(const QString &text);

// The workstation's settings file (SettingsFilePath()).
IniFile SettingsFile();

QString IniReadString(const QString &section, const QString &key, const QString &defaultValue);
void IniWriteString(const QString &section, const QString &key, const QString &value);
int IniReadInteger(const QString &section, const QString &key, int defaultValue);
bool IniKeyExists(const QString &section, const QString &key);
