#pragma once

#include "editor/SpellingDictionaries.h"
#include "editor/SpellingSettings.h"
#include "editor/WordSplitter.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <optional>

class QActionGroup;

namespace lw {

class SpellChecker;
class SpellingMarks;
class MainWindow;

// Spelling in the main window: the editor's underlines, the Format menu's language and on/off
// items, and the suggestions at the top of the editor's popup.
class SpellingCommands : public QObject
{
    Q_OBJECT
public:
    explicit SpellingCommands(MainWindow& window);
    ~SpellingCommands() override;

    // Fills the language menu; after the menu bar is built.
    void BuildMenus();
    // True when the item was a spelling command.
    bool MenuItemClick(const QString& menuKey, const QString& itemKey);
    bool PopupItemClick(const QString& itemKey);
    // Puts the suggestions for the misspelt word at the position, if any, at the top of the
    // popup; takes those of an earlier word away.
    void PreparePopup(int position);

    SpellChecker& checker() { return *spellChecker; }
    SpellingMarks& marks() { return *spellingMarks; }
    const QList<SpellingDictionary>& dictionaries() const { return installed; }

private:
    void chooseLanguage(const QString& name);
    void toggleChecking();
    void updateMenus();
    void saveSettings();
    void replaceWord(int index);
    void addToDictionary();
    void ignoreAll();
    // The word the popup was opened on, still as it was.
    bool wordStillThere() const;

    MainWindow& w;
    SpellChecker* spellChecker;
    SpellingMarks* spellingMarks;
    QList<SpellingDictionary> installed;
    SpellingSettings settings;
    QPointer<QActionGroup> languageChoice;

    std::optional<WordSpan> popupWord;
    QString popupText;
    QStringList popupSuggestions;
};

} // namespace lw
