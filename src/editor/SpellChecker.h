#pragma once

#include "editor/PersonalWordList.h"
#include "editor/SpellingDictionaries.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <memory>

class QThread;

namespace lw {

// Says whether a word is spelt right, and how else it might be spelt, from a Hunspell dictionary
// read by Nuspell, the user's own words and the words ignored for this run. Until a dictionary is
// ready every word is right.
class SpellChecker : public QObject
{
    Q_OBJECT
public:
    explicit SpellChecker(QObject* parent = nullptr);
    ~SpellChecker() override;

    // Reads the dictionary in the background and emits changed() when it is ready; a null one
    // leaves no dictionary. Returns at once.
    void setDictionary(const SpellingDictionary& dictionary);
    // Reads the dictionary before returning; false with `error` set when it cannot be read.
    bool loadDictionary(const SpellingDictionary& dictionary, QString* error = nullptr);
    // The dictionary asked for, ready or not.
    const SpellingDictionary& dictionary() const { return wanted; }
    bool isReady() const;
    // Why the dictionary asked for could not be read; empty when it could.
    QString loadError() const { return error; }

    bool isCorrect(QStringView word) const;
    // Up to `count` other spellings, the likeliest first.
    QStringList suggestions(QStringView word, int count = 6) const;

    PersonalWordList& personalWords() { return personal; }
    // Reads the personal word list again.
    bool loadPersonalWords(QString* error = nullptr);
    // Adds the word to the personal list and its file; false with `error` set when the file cannot
    // be written, the word then counting as right for this run only.
    bool addToPersonalWords(const QString& word, QString* error = nullptr);
    // Counts the word as right until the program ends.
    void ignore(const QString& word);

signals:
    // Words may be judged otherwise now: a dictionary became ready or went, a word was added or
    // ignored.
    void changed();

private:
    struct Engine;
    void install(std::unique_ptr<Engine> engine, const QString& failure);
    bool isKnown(QStringView word) const;

    std::unique_ptr<Engine> engine;
    SpellingDictionary wanted;
    QString error;
    int request = 0;
    PersonalWordList personal;
    QSet<QString> ignored;
    // Letters use the same words again and again: each is asked of the dictionary once.
    mutable QHash<QString, bool> known;
};

} // namespace lw
