#include "mainwindow/SpellingCommands.h"

#include "editor/LetterEditor.h"
#include "editor/SpellChecker.h"
#include "editor/SpellingMarks.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/PopupMenuControl.h"
#include "platform/Services.h"

#include <QActionGroup>
#include <QTextCursor>

namespace lw {

namespace {

const QString checkItemKey = QStringLiteral("Check_Spelling");
const QString noDictionaryKey = QStringLiteral("No_Dictionary");
const QString suggestionKey = QStringLiteral("Spelling_Suggestion_");
const QString noSuggestionsKey = QStringLiteral("No_Suggestions");
const QString addKey = QStringLiteral("Add_To_Dictionary");
const QString ignoreKey = QStringLiteral("Ignore_All");
constexpr int mostSuggestions = 6;

QString languageMenu()
{
    return QString::fromLatin1(spellingLanguageMenuKey);
}

// A caption shows "&" itself only doubled.
QString literalCaption(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

QString textOf(const LetterEditor& box, WordSpan word)
{
    if (word.start < 0 || word.end() > box.TextLength())
        return QString();
    QTextCursor piece(box.document());
    piece.setPosition(word.start);
    piece.setPosition(word.end(), QTextCursor::KeepAnchor);
    return piece.selectedText();
}

} // namespace

SpellingCommands::SpellingCommands(MainWindow& window)
    : QObject(&window), w(window), spellChecker(new SpellChecker(this)),
      spellingMarks(new SpellingMarks(*window.RTB->displayFormats(), *spellChecker, this)),
      installed(findDictionaries()), settings(SpellingSettings::load())
{
    // A personal list that cannot be read is reported when a word is added to it.
    spellChecker->loadPersonalWords();
    SpellingDictionary chosen;
    for (const SpellingDictionary& dictionary : std::as_const(installed)) {
        if (dictionary.name == settings.language)
            chosen = dictionary;
    }
    if (chosen.isNull())
        chosen = defaultDictionary(installed);
    spellingMarks->setEnabled(settings.checkAsYouType && !chosen.isNull());
    spellChecker->setDictionary(chosen);
}

SpellingCommands::~SpellingCommands() = default;

void SpellingCommands::BuildMenus()
{
    MenuBarControl& bar = *w.MenuBar;
    bar.clearMenu(languageMenu());
    if (installed.isEmpty()) {
        bar.addItem(languageMenu(), noDictionaryKey, QStringLiteral("No Dictionary Installed"),
                    MenuEntryKind::Item, false);
    }
    // One language at a time, shown as a choice of one.
    delete languageChoice;
    languageChoice = new QActionGroup(this);
    for (const SpellingDictionary& dictionary : std::as_const(installed)) {
        bar.addItem(languageMenu(), dictionary.name, literalCaption(dictionary.displayName),
                    MenuEntryKind::Check, true);
        languageChoice->addAction(bar.item(languageMenu(), dictionary.name));
    }
    updateMenus();
}

void SpellingCommands::updateMenus()
{
    MenuBarControl& bar = *w.MenuBar;
    const QString format = QStringLiteral("mnuFormat");
    bar.setItemEnabled(format, checkItemKey, !installed.isEmpty());
    bar.setItemChecked(format, checkItemKey, settings.checkAsYouType && !installed.isEmpty());
    for (const SpellingDictionary& dictionary : std::as_const(installed))
        bar.setItemChecked(languageMenu(), dictionary.name,
                           dictionary.name == spellChecker->dictionary().name);
}

bool SpellingCommands::MenuItemClick(const QString& menuKey, const QString& itemKey)
{
    if (menuKey == languageMenu()) {
        chooseLanguage(itemKey);
        return true;
    }
    if (menuKey == QLatin1String("mnuFormat") && itemKey == checkItemKey) {
        toggleChecking();
        return true;
    }
    return false;
}

void SpellingCommands::chooseLanguage(const QString& name)
{
    for (const SpellingDictionary& dictionary : std::as_const(installed)) {
        if (dictionary.name != name)
            continue;
        if (dictionary.name != spellChecker->dictionary().name)
            spellChecker->setDictionary(dictionary);
        settings.language = name;
        saveSettings();
        break;
    }
    updateMenus();
}

void SpellingCommands::toggleChecking()
{
    if (installed.isEmpty())
        return;
    settings.checkAsYouType = !settings.checkAsYouType;
    spellingMarks->setEnabled(settings.checkAsYouType);
    saveSettings();
    updateMenus();
}

void SpellingCommands::saveSettings()
{
    QString error;
    if (!settings.save(&error))
        message(&w, error + QStringLiteral("\n\nThe choice holds until Letterwright is closed."),
                QStringLiteral("Spelling"), MsgButtons::Ok, MsgIcon::Exclamation);
}

void SpellingCommands::PreparePopup(int position)
{
    popupWord.reset();
    popupText.clear();
    popupSuggestions.clear();
    QList<PopupMenuControl::LeadingItem> items;
    if (position >= 0)
        popupWord = spellingMarks->misspeltWordAt(position);
    if (popupWord) {
        popupText = textOf(*w.RTB, *popupWord);
        popupSuggestions = spellChecker->suggestions(popupText, mostSuggestions);
        for (int i = 0; i < popupSuggestions.size(); ++i)
            items.append({suggestionKey + QString::number(i + 1),
                          literalCaption(popupSuggestions[i]), true});
        if (popupSuggestions.isEmpty())
            items.append({noSuggestionsKey, QStringLiteral("No Suggestions"), false});
        items.append({QString(), QString(), true});
        items.append({addKey, QStringLiteral("Add to Dictionary"), true});
        items.append({ignoreKey, QStringLiteral("Ignore All"), true});
    }
    w.mnuPopup->setLeadingItems(QString::fromLatin1(popupMenuKey), items);
}

bool SpellingCommands::PopupItemClick(const QString& itemKey)
{
    if (itemKey.startsWith(suggestionKey)) {
        replaceWord(itemKey.mid(suggestionKey.size()).toInt() - 1);
        return true;
    }
    if (itemKey == addKey) {
        addToDictionary();
        return true;
    }
    if (itemKey == ignoreKey) {
        ignoreAll();
        return true;
    }
    return false;
}

bool SpellingCommands::wordStillThere() const
{
    return popupWord && textOf(*w.RTB, *popupWord) == popupText;
}

void SpellingCommands::replaceWord(int index)
{
    if (index < 0 || index >= popupSuggestions.size() || !wordStillThere())
        return;
    LetterEditor& box = *w.RTB;
    box.beginEdit();
    box.setSelStart(popupWord->start);
    box.setSelLength(popupWord->length);
    box.setSelText(popupSuggestions[index]);
    box.endEdit();
    popupWord.reset();
    box.setFocus();
}

void SpellingCommands::addToDictionary()
{
    if (!popupWord)
        return;
    QString error;
    if (!spellChecker->addToPersonalWords(popupText, &error))
        message(&w,
                error + QStringLiteral("\n\n\"%1\" is not marked as misspelt until Letterwright is "
                                       "closed.")
                            .arg(popupText),
                QStringLiteral("Add to Dictionary"), MsgButtons::Ok, MsgIcon::Exclamation);
    popupWord.reset();
}

void SpellingCommands::ignoreAll()
{
    if (!popupWord)
        return;
    spellChecker->ignore(popupText);
    popupWord.reset();
}

} // namespace lw
