#include "inifile.h"

#include "common/cp1250.h"
#include "common/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Views into the line: looking a name up reads every line of the file, and most of them are
// neither the section nor the key asked for.
QByteArrayView Trimmed(QByteArrayView bytes)
{
    qsizetype from = 0;
    qsizetype to = bytes.size();
    while (from < to && IsBlank(bytes.at(from)))
        ++from;
    while (to > from && IsBlank(bytes.at(to - 1)))
        --to;
    return bytes.sliced(from, to - from);
}

bool IsSectionHeader(QByteArrayView line)
{
    return Trimmed(line).startsWith('[');
}

// The bytes of the section name when the line is a section header.
std::optional<QByteArrayView> SectionNameBytes(QByteArrayView line)
{
    QByteArrayView t = Trimmed(line);
    if (!t.startsWith('['))
        return std::nullopt;
    t = t.sliced(1);
    const qsizetype close = t.indexOf(']');
    if (close >= 0)
        t.truncate(close);
    return Trimmed(t);
}

// The bytes of the key when the line is a key line (a section header is never one).
std::optional<QByteArrayView> KeyBytes(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || IsSectionHeader(line))
        return std::nullopt;
    const QByteArrayView key = Trimmed(line.first(eq));
    if (key.isEmpty())
        return std::nullopt;
    return key;
}

struct KeyLine
{
    QString key;
    QByteArrayView value; // into the line
};

// The key and value when the line is a key line.
std::optional<KeyLine> KeyOf(QByteArrayView line)
{
    const auto key = KeyBytes(line);
    if (!key)
        return std::nullopt;
    return KeyLine{FromCp1250(*key), Trimmed(line.sliced(line.indexOf('=') + 1))};
}

// Each code page 1250 byte as its character with letter case folded.
const std::array<char16_t, 256> &FoldedCp1250()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[b] = FromCp1250(QByteArray(1, char(b))).at(0).toCaseFolded().unicode();
        return t;
    }();
    return table;
}

// Whether a name in the file (code page 1250 bytes) is the name asked for, letter case aside, as
// QString::compare without case finds: character by character with case folded. Compared in
// place, since a lookup compares every section header, and every key of the section, with it.
bool SameName(QByteArrayView bytes, QStringView name)
{
    if (bytes.size() != name.size())
        return false;
    const auto &folded = FoldedCp1250();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (folded[uchar(bytes.at(i))] != QChar::toCaseFolded(name.at(i).unicode()))
            return false;
    }
    return true;
}

// A section name as the file holds it: the header line drops the blanks and tabs around it, so
// the name asked for drops them too, for finding the section as for writing a new one.
QString SectionName(const QString &section)
{
    qsizetype from = 0;
    qsizetype to = section.size();
    while (from < to && (section.at(from) == u' ' || section.at(from) == u'\t'))
        ++from;
    while (to > from && (section.at(to - 1) == u' ' || section.at(to - 1) == u'\t'))
        --to;
    return section.mid(from, to - from);
}

bool HasLineBreak(const QString &s)
{
    return s.contains(u'\r') || s.contains(u'\n');
}

QByteArray Encode(const QString &text, const QString &what)
{
    QString bad;
    QByteArray bytes = ToCp1250(text, &bad);
    if (!bad.isEmpty())
        throw IniError(
            u"A beállítások fájlja nem tudja tárolni ezeket a karaktereket (%1): %2"_s.arg(what, bad));
    return bytes;
}

// The file that writing `path` would replace: QSaveFile follows symbolic links to their end.
QString LinkEnd(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

// The folder a path lies in, with its own links resolved; empty when it does not exist.
QString RealFolder(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
}

// A settings file that is a link to a file outside its own folder: writing through it would
// rewrite a file of someone else (its line ends, new sections). Empty when the link stays home.
QString ForeignLinkTarget(const QString &path)
{
    if (!QFileInfo(path).isSymLink())
        return {};
    const QString end = LinkEnd(path);
    const QString home = RealFolder(path);
    return !home.isEmpty() && RealFolder(end) == home ? QString() : end;
}

// Owner and group keep what they had; others lose every right, since the file holds the
// connection profiles in a reversible form. A new file is the owner's alone.
QFileDevice::Permissions PrivatePermissions(const QString &path, bool existed)
{
    constexpr QFileDevice::Permissions ownerAndGroup = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                       QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                       QFileDevice::WriteGroup | QFileDevice::ExeGroup;
    if (!existed)
        return QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    return QFile::permissions(path) & ownerAndGroup;
}

} // namespace

IniDocument IniDocument::fromBytes(QByteArrayView data)
{
    IniDocument doc;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = start;
        while (end < data.size() && data.at(end) != '\n')
            ++end;
        QByteArray line = data.sliced(start, end - start).toByteArray();
        if (line.endsWith('\r'))
            line.chop(1);
        doc.m_lines.append(line);
        start = end + 1;
    }
    return doc;
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    for (const QByteArray &line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

qsizetype IniDocument::findSection(const QString &section) const
{
    const QString wanted = SectionName(section);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionNameBytes(m_lines.at(i));
        if (name && SameName(*name, wanted))
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype sectionLine) const
{
    qsizetype i = sectionLine + 1;
    while (i < m_lines.size() && !IsSectionHeader(m_lines.at(i)))
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype sectionLine, const QString &key) const
{
    const qsizetype end = sectionEnd(sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        const auto name = KeyBytes(m_lines.at(i));
        if (name && SameName(*name, key))
            return i;
    }
    return -1;
}

bool IniDocument::contains(const QString &section, const QString &key) const
{
    const qsizetype s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const
{
    const qsizetype s = findSection(section);
    if (s < 0)
        return std::nullopt;
    const qsizetype k = findKey(s, key);
    if (k < 0)
        return std::nullopt;
    return FromCp1250(KeyOf(m_lines.at(k))->value);
}

QString IniDocument::value(const QString &section, const QString &key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

QStringList IniDocument::keys(const QString &section) const
{
    QStringList result;
    const qsizetype s = findSection(section);
    if (s < 0)
        return result;
    const qsizetype end = sectionEnd(s);
    for (qsizetype i = s + 1; i < end; ++i) {
        const auto kv = KeyOf(m_lines.at(i));
        if (kv && !result.contains(kv->key, Qt::CaseInsensitive))
            result.append(kv->key);
    }
    return result;
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = SectionName(section);
    if (sectionName.trimmed().isEmpty() || HasLineBreak(sectionName) || sectionName.contains(u']'))
        throw IniError(u"Érvénytelen szakasznév a beállítások fájljában: %1"_s.arg(section));
    if (key.trimmed().isEmpty() || key != key.trimmed() || HasLineBreak(key) || key.contains(u'=') ||
        key.startsWith(u'['))
        throw IniError(u"Érvénytelen kulcsnév a beállítások fájljában: %1"_s.arg(key));
    QString oneLine = value;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray line = Encode(key, key) + '=' + Encode(oneLine, key);

    const qsizetype s = findSection(section);
    if (s < 0) {
        // Encoded before anything is added, so a name that cannot be stored changes nothing.
        const QByteArray header = '[' + Encode(sectionName, section) + ']';
        if (!m_lines.isEmpty() && !Trimmed(m_lines.last()).isEmpty())
            m_lines.append(QByteArray());
        m_lines.append(header);
        m_lines.append(line);
        return;
    }
    const qsizetype k = findKey(s, key);
    if (k >= 0) {
        m_lines[k] = line;
        return;
    }
    // After the last non-blank line of the section, so the blank line before the next section
    // stays where it is.
    qsizetype at = sectionEnd(s);
    while (at > s + 1 && Trimmed(m_lines.at(at - 1)).isEmpty())
        --at;
    m_lines.insert(at, line);
}

bool IniDocument::remove(const QString &section, const QString &key)
{
    const qsizetype s = findSection(section);
    if (s < 0)
        return false;
    bool removed = false;
    for (qsizetype k = findKey(s, key); k >= 0; k = findKey(s, key)) {
        m_lines.removeAt(k);
        removed = true;
    }
    return removed;
}

std::optional<int> ParseIniInteger(const QString &text)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = t.startsWith(u'-');
        t.remove(0, 1);
    }
    int base = 10;
    if (t.startsWith(u'$')) {
        base = 16;
        t.remove(0, 1);
    } else if (t.startsWith(u"0x"_s, Qt::CaseInsensitive)) {
        base = 16;
        t.remove(0, 2);
    }
    if (t.isEmpty())
        return std::nullopt;
    qint64 n = 0;
    for (const QChar ch : t) {
        const char16_t c = ch.toLower().unicode();
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'a' && c <= u'f')
            d = 10 + (c - u'a');
        if (d < 0 || d >= base)
            return std::nullopt;
        n = n * base + d;
        if (n > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        n = -n;
    if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(n);
}

IniDocument IniFile::read() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniDocument::fromBytes(file.readAll());
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return read().value(section, key, defaultValue);
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const auto text = read().value(section, key);
    if (!text)
        return defaultValue;
    return ParseIniInteger(*text).value_or(defaultValue);
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::keyExists(const QString &section, const QString &key) const
{
    return read().contains(section, key);
}

QStringList IniFile::readKeys(const QString &section) const
{
    return read().keys(section);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    update([&](IniDocument &doc) { doc.setValue(section, key, value); });
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? u"1"_s : u"0"_s);
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    update([&](IniDocument &doc) { doc.remove(section, key); });
}

void IniFile::update(const std::function<void(IniDocument &)> &change)
{
    const auto failed = [this](const QString &reason) {
        return IniError(u"Nem sikerült írni a beállítások fájlját: %1 (%2)"_s.arg(m_path, reason));
    };
    const QString linkTarget = ForeignLinkTarget(m_path);
    if (!linkTarget.isEmpty())
        throw failed(u"ez egy hivatkozás, amely egy másik mappában lévő fájlra mutat: %1; "
                     "a program azon keresztül nem ír"_s.arg(linkTarget));
    QByteArray before;
    QFile in(m_path);
    const bool existed = in.exists();
    if (existed) {
        // Writing over a file we could not read would lose everything else in it.
        if (!in.open(QIODevice::ReadOnly))
            throw failed(in.errorString());
        before = in.readAll();
        if (in.error() != QFileDevice::NoError)
            throw failed(in.errorString());
        in.close();
    }
    IniDocument doc = IniDocument::fromBytes(before);
    change(doc);
    const QByteArray after = doc.toBytes();
    if (after == before && (existed || after.isEmpty()))
        return;
    // The replacement below would go through a read-only file; Windows refuses it, so do we.
    if (existed && !QFileInfo(m_path).isWritable())
        throw failed(u"a fájl csak olvasható"_s);
    QSaveFile out(m_path);
    // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count: through
    // the buffer, Qt takes a partly written file for a whole one and commit() succeeds.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failed(out.errorString());
    if (!out.setPermissions(PrivatePermissions(m_path, existed))) {
        out.cancelWriting();
        throw failed(out.errorString());
    }
    if (out.write(after) != after.size()) {
        const QString reason = out.error() == QFileDevice::NoError
                                   ? u"nem fért ki a teljes tartalom, megtelt a lemez?"_s
                                   : out.errorString();
        out.cancelWriting();
        throw failed(reason);
    }
    if (!out.commit())
        throw failed(out.errorString());
}

IniFile SettingsFile()
{
    return IniFile(SettingsFilePath());
}

QString IniReadString(const QString &section, const QString &key, const QString &defaultValue)
{
    return SettingsFile().readString(section, key, defaultValue);
}

void IniWriteString(const QString &section, const QString &key, const QString &value)
{
    SettingsFile().writeString(section, key, value);
}

int IniReadInteger(const QString &section, const QString &key, int defaultValue)
{
    return SettingsFile().readInteger(section, key, defaultValue);
}

bool IniKeyExists(const QString &section, const QString &key)
{
    return SettingsFile().keyExists(section, key);
}
