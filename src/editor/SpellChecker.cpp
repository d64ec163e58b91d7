#include "editor/SpellChecker.h"

#include <QDir>
#include <QPointer>
#include <QThread>
#include <nuspell/dictionary.hxx>
#include <string>
#include <vector>

namespace lw {

namespace {

// No word is longer; a longer run of letters is no word a dictionary could help with, and
// asking about it costs time that grows with its length.
constexpr int longestWord = 100;
// The cache stops growing at this many words. Its room is made at once: growing it rehashes
// every word it holds, a pause of milliseconds in the middle of a keystroke.
constexpr int largestCache = 200000;

// The form the dictionary is asked about: soft hyphens are invisible, and dictionaries hold
// their words composed.
QString dictionaryForm(QStringView word)
{
    QString form = word.toString();
    form.remove(QChar(0x00AD));
    bool composed = true;
    for (QChar ch : form) {
        if (ch.unicode() >= 0x300) {
            composed = false;
            break;
        }
    }
    return composed ? form : form.normalized(QString::NormalizationForm_C);
}

QString describe(const SpellingDictionary& dictionary, const char* what)
{
    return QStringLiteral("Cannot read the dictionary %1: %2")
        .arg(QDir::toNativeSeparators(dictionary.affixPath), QString::fromLocal8Bit(what));
}

// A word of one's own also stands capitalised at the start of a sentence, and in capitals in a
// heading.
template <typename Contains> bool inWordList(QStringView word, Contains contains)
{
    const QString exact = word.toString();
    if (contains(exact))
        return true;
    const QString lower = exact.toLower();
    if (lower == exact)
        return false;
    if (contains(lower))
        return true;
    return exact.toUpper() == exact && contains(exact.left(1) + lower.mid(1));
}

} // namespace

struct SpellChecker::Engine
{
    nuspell::Dictionary dictionary;

    static std::unique_ptr<Engine> load(const SpellingDictionary& from, QString* error)
    {
        try {
            auto engine = std::make_unique<Engine>();
            engine->dictionary.load_aff_dic(std::filesystem::path(from.affixPath.toStdString()));
            return engine;
        } catch (const std::exception& failure) {
            *error = describe(from, failure.what());
        }
        return nullptr;
    }
};

SpellChecker::SpellChecker(QObject* parent) : QObject(parent) {}

SpellChecker::~SpellChecker()
{
    // A dictionary still being read is left to finish; the program waits for it only here.
    for (QThread* loader : findChildren<QThread*>(QString(), Qt::FindDirectChildrenOnly))
        loader->wait();
}

void SpellChecker::setDictionary(const SpellingDictionary& dictionary)
{
    const int mine = ++request;
    wanted = dictionary;
    if (dictionary.isNull()) {
        install(nullptr, QString());
        return;
    }
    auto result = std::make_shared<std::pair<std::unique_ptr<Engine>, QString>>();
    QThread* loader = QThread::create(
        [result, dictionary] { result->first = Engine::load(dictionary, &result->second); });
    loader->setParent(this);
    connect(loader, &QThread::finished, this, [this, loader, result, mine] {
        loader->deleteLater();
        // A dictionary chosen meanwhile wins.
        if (mine == request)
            install(std::move(result->first), result->second);
    });
    loader->start(QThread::LowPriority);
}

bool SpellChecker::loadDictionary(const SpellingDictionary& dictionary, QString* failure)
{
    ++request;
    wanted = dictionary;
    QString problem;
    std::unique_ptr<Engine> loaded =
        dictionary.isNull() ? nullptr : Engine::load(dictionary, &problem);
    install(std::move(loaded), problem);
    if (failure)
        *failure = problem;
    return problem.isEmpty();
}

void SpellChecker::install(std::unique_ptr<Engine> loaded, const QString& failure)
{
    engine = std::move(loaded);
    error = failure;
    known.clear();
    emit changed();
}

bool SpellChecker::isReady() const
{
    return engine != nullptr;
}

bool SpellChecker::isKnown(QStringView word) const
{
    const QString form = dictionaryForm(word);
    const auto cached = known.constFind(form);
    if (cached != known.cend())
        return *cached;
    const QByteArray utf8 = form.toUtf8();
    const bool right = engine->dictionary.spell(std::string_view(utf8.constData(), utf8.size()));
    if (known.isEmpty())
        known.reserve(largestCache);
    if (known.size() < largestCache)
        known.insert(form, right);
    return right;
}

bool SpellChecker::isCorrect(QStringView word) const
{
    if (!engine || word.size() > longestWord || isKnown(word))
        return true;
    return inWordList(word, [this](const QString& form) {
        return ignored.contains(form) || personal.contains(form);
    });
}

QStringList SpellChecker::suggestions(QStringView word, int count) const
{
    QStringList result;
    if (!engine || word.size() > longestWord)
        return result;
    const QByteArray utf8 = dictionaryForm(word).toUtf8();
    std::vector<std::string> found;
    try {
        engine->dictionary.suggest(std::string_view(utf8.constData(), utf8.size()), found);
    } catch (const std::exception&) {
        return result;
    }
    for (const std::string& each : found) {
        const QString suggestion = QString::fromStdString(each);
        if (suggestion != word && !result.contains(suggestion))
            result.append(suggestion);
        if (result.size() == count)
            break;
    }
    return result;
}

bool SpellChecker::loadPersonalWords(QString* failure)
{
    const bool read = personal.load(failure);
    emit changed();
    return read;
}

bool SpellChecker::addToPersonalWords(const QString& word, QString* failure)
{
    const bool saved = personal.add(word, failure);
    if (!saved)
        ignored.insert(word);
    emit changed();
    return saved;
}

void SpellChecker::ignore(const QString& word)
{
    ignored.insert(word);
    emit changed();
}

} // namespace lw
