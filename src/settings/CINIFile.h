#pragma once
// The settings-file object: one sectioned settings file, a current section, values
// read and written one by one, and section listings. It caches nothing: every call
// goes to the file, so a write is on disk at once.
//
// Make one object per user action. When one of its writes failed, the user is told
// once, when the object is dropped.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

class CINIFile {
public:
    CINIFile() = default;
    ~CINIFile();
    CINIFile(const CINIFile &) = delete;
    CINIFile &operator=(const CINIFile &) = delete;

    QString getValue(const QString &KeyName, const QString &Default = QString(), bool *Failed = nullptr);
    void addSection(const QString &name, bool SetAsCurrent = false);
    qint16 enumSectionKeys(QStringList &ArrayResult);
    qint16 enumSectionValues(QStringList &ArrayResult);
    qint16 enumSections(QStringList &ArrayResult);
    void deleteSection(const QString &SectionName);
    void deleteKey(const QString &KeyName);
    qint16 enumSectionValuePairs(QList<QStringList> &ArrayResult); // [0] keys, [1] values
    qint16 enumSectionKeysAndValues(QStringList &ArrayResult);
    void flush();
    QString Value(const QString &KeyName);
    void setValue(const QString &KeyName, const QString &value);
    void setValue(const QString &KeyName, int value);
    QString File() const;
    void setFile(const QString &path);
    QString Section() const;
    void setSection(const QString &name);
    // Replaces the current section by the "key=value" lines of a list of texts;
    // anything else (a single text, a number) changes nothing.
    void writeSection(const QVariant &lines);
    // Replaces the current section's entry lines by what `edit` makes of those the
    // file holds, read and written under the file's lock; nothing from `edit` leaves
    // the file as it is.
    void editSection(const std::function<std::optional<QStringList>(const QStringList &lines)> &edit);

    // False when the last listing could not be read whole (unreadable file, too
    // many entries): what it gave must not be written back as the whole list.
    bool listingComplete() const { return m_listingComplete; }

    // True once a write of this object has failed.
    bool writeFailed() const { return m_writeFailed; }

private:
    void noteWrite(bool ok);

    QString m_file;
    QString m_section;
    bool m_writeFailed = false;
    bool m_listingComplete = true;
    QString m_failedFile; // the file of the first failed write
};
