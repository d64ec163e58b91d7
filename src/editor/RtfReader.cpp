#include "editor/RtfReader.h"

#include "editor/RtfCodePage.h"
#include "editor/RtfKeywords.h"
#include "editor/RtfTokenizer.h"

#include <QCryptographicHash>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace lw {

namespace {

// Groups nested deeper are dropped with their content, so a hostile file cannot make the state
// stack grow without bound.
constexpr qsizetype maxDepth = 1000;
// 22 inches, the largest page dimension Word allows.
constexpr int maxTwips = 31680;
constexpr double twipsPerPixel = 15.0; // 96 pixels an inch
constexpr int maxTabStops = 32;
constexpr qsizetype maxStyles = 4096;
constexpr qsizetype maxFonts = 65536;
constexpr qsizetype maxColors = 65536;
constexpr qsizetype maxLists = 4096;
constexpr int listLevels = 9;
constexpr int defaultHalfPoints = 24;

int clampTwips(int value)
{
    return std::clamp(value, -maxTwips, maxTwips);
}

enum class Underline : quint8 { None, Single, Dotted, Dash, DashDot, DashDotDot, Wave };
enum class Vertical : quint8 { Normal, Super, Sub };
enum class Caps : quint8 { Normal, All, Small };
enum class Align : quint8 { Left, Right, Center, Justify };
enum class PnKind : quint8 { None, Bullet, Numbered, Continue };
enum class Blip : quint8 { None, Png, Jpeg };

struct CharProps
{
    int font = -1;
    int halfPoints = 0; // 0: no size given, the editor's size applies
    int color = 0;      // colour table index; 0 and unknown indexes are the automatic colour
    int background = 0;
    int href = -1; // index into the hyperlink targets
    Underline underline = Underline::None;
    Vertical vertical = Vertical::Normal;
    Caps caps = Caps::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;

    bool operator==(const CharProps&) const = default;
};

struct TabStop
{
    int position = 0;
    QTextOption::TabType type = QTextOption::LeftTab;

    bool operator==(const TabStop&) const = default;
};

struct ParaProps
{
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    Align align = Align::Left;
    int listOverride = 0; // \ls
    int listLevel = 0;    // \ilvl
    PnKind pnKind = PnKind::None;
    QTextListFormat::Style pnStyle = QTextListFormat::ListDecimal;
    int pnLevel = 0;
    int pnBefore = -1; // index into the list texts
    int pnAfter = -1;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    int tabCount = 0;
    std::array<TabStop, maxTabStops> tabs{};

    bool operator==(const ParaProps&) const = default;
};

enum class Dest : quint8 {
    Text,
    Skip,
    FontTable,
    FontEntry,
    ColorTable,
    StyleSheet,
    StyleEntry,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
    Picture,
    FieldInstruction,
    Pn,
    PnTextBefore,
    PnTextAfter,
    Upr,
};

struct State
{
    Dest dest = Dest::Text;
    bool ownsDest = false;  // this group started the destination, so its end completes it
    bool ignorable = false; // after \*: an unknown destination word skips the group
    int unicodeSkip = 1;    // \uc
    int fieldHref = -1;     // the hyperlink target of the field this group is in
    CharProps chr;
    ParaProps para;
};

struct Font
{
    QString name;
    int codePage = 0;
};

struct Style
{
    CharProps chr;
    ParaProps para;
};

struct Level
{
    int numberFormat = 0; // \levelnfc
    bool bullet = false;
    char16_t bulletChar = 0;
    bool hasAffixes = false;
    QString prefix;
    QString suffix;
};

using ListDefinition = std::array<Level, listLevels>;

QTextListFormat::Style bulletStyle(char16_t c)
{
    switch (c) {
    case u'o':
    case 0x25E6: // white bullet
    case 0x25CB: // white circle
    case 0xF06F: // Wingdings circle
        return QTextListFormat::ListCircle;
    case 0x25AA: // small black square
    case 0x25A0: // black square
    case 0xF0A7: // Wingdings square
    case 0xF06E:
    case u'\u00A7': // the Wingdings square byte read as text
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

QTextListFormat::Style numberStyle(int numberFormat)
{
    switch (numberFormat) {
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListDecimal;
    }
}

// The target of a HYPERLINK field instruction, or an empty string for any other field.
QString hyperlinkTarget(const QString& instruction)
{
    QStringList words;
    const qsizetype size = instruction.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = instruction[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        QString word;
        if (c == u'"') {
            for (++i; i < size && instruction[i] != u'"'; ++i) {
                if (instruction[i] == u'\\' && i + 1 < size && instruction[i + 1] == u'\\')
                    ++i;
                word += instruction[i];
            }
            ++i;
        } else {
            for (; i < size && !instruction[i].isSpace(); ++i)
                word += instruction[i];
        }
        words.append(word);
    }
    if (words.isEmpty() || words.first().compare(u"HYPERLINK", Qt::CaseInsensitive) != 0)
        return {};
    QString url;
    QString anchor;
    for (qsizetype w = 1; w < words.size(); ++w) {
        const QString& word = words[w];
        if (word.startsWith(u'\\')) {
            if (w + 1 < words.size() && word.compare(u"\\l", Qt::CaseInsensitive) == 0)
                anchor = words[w + 1];
            // Switches other than \h take an argument.
            if (word.compare(u"\\h", Qt::CaseInsensitive) != 0)
                ++w;
        } else if (url.isEmpty()) {
            url = word;
        }
    }
    if (!anchor.isEmpty())
        url += u'#' + anchor;
    return url;
}

// Reads one RTF text into a QTextDocument at a cursor.
class RtfBuilder
{
public:
    explicit RtfBuilder(QTextCursor& cursor) : cursor(cursor) {}
    void read(QStringView rtf);

private:
    State& top() { return stack.back(); }

    void groupStart();
    void groupEnd();
    void controlWord(const RtfToken& token);
    void controlSymbol(char16_t symbol);
    void text(QStringView units);
    void hexByte(uchar byte);
    void binary(QStringView data);

    void setDest(Dest dest);
    void applyStyle(const Style& style, bool paragraph);
    void put(QStringView decoded);
    void put(char16_t c) { put(QStringView(&c, 1)); }
    void flushBytes();
    void flushText();
    void ensureBlock();
    void endParagraph();
    void pageBreak();
    void applyParagraph(const ParaProps& para);
    void finish();
    void restoreOriginalParagraph();

    int codePageNumber();
    const RtfCodePage& codePage(int number);
    CharProps plainChar() const;
    QTextCharFormat charFormat(const CharProps& props);
    QTextBlockFormat blockFormat(const ParaProps& para, bool inList);
    // Where a paragraph goes: into an existing list, or into a new list of the given format.
    struct ListPlace
    {
        QTextList* list = nullptr;
        QTextListFormat format;
        bool fromOverride = false; // \ls numbering, not \pn
        qint64 key = 0;
        bool inList() const
        {
            return list || format.style() != QTextListFormat::ListStyleUndefined;
        }
    };
    ListPlace listPlace(const ParaProps& para);
    std::optional<QColor> color(int index) const;

    void commitFont();
    void commitColor();
    void commitStyle(const State& closed);
    void commitLevelText();
    void insertPicture();
    int addListText(const QString& text);

    QTextCursor& cursor;
    std::vector<State> stack;
    int overflow = 0;      // groups open beyond maxDepth
    int skipRemaining = 0; // characters still to skip after \uN

    int ansiCodePage = 1252;
    int defaultFont = -1;
    std::map<int, std::unique_ptr<RtfCodePage>> codePages;
    int cachedFontNumber = -1;
    int cachedFontCodePage = 0;

    QByteArray pendingBytes; // 8-bit text not yet decoded
    QString decoded;
    QString pendingText; // decoded text not yet inserted, all in pendingProps
    CharProps pendingProps;
    bool haveCachedChar = false;
    CharProps cachedCharProps;
    QTextCharFormat cachedCharFormat;
    bool haveCachedBlock = false;
    ParaProps cachedParaProps;
    bool cachedInList = false;
    QTextBlockFormat cachedBlockFormat;

    int startPosition = 0;
    QTextBlockFormat originalBlockFormat;
    QTextCharFormat originalBlockCharFormat;
    QPointer<QTextList> originalList;
    bool pendingBreak = false; // a paragraph ended; its break is inserted when more follows
    bool insertedBreak = false;
    bool paragraphHasContent = false;
    bool pageBreakBefore = false;
    ParaProps lastPara; // of the last content, for a last paragraph with no mark of its own

    QHash<int, Font> fonts;
    bool fontHasNumber = false;
    int fontNumber = 0;
    int fontCodePage = 0;
    QString fontName;

    std::vector<std::optional<QColor>> colors;
    int red = 0;
    int green = 0;
    int blue = 0;
    bool colorHasValue = false;

    QHash<int, Style> paragraphStyles;
    QHash<int, Style> charStyles;
    int styleNumber = 0;
    bool styleIsChar = false;

    QHash<int, ListDefinition> lists;
    QHash<int, int> listOverrides; // \ls -> \listid
    ListDefinition currentList;
    int currentListLevels = 0;
    int currentListId = 0;
    Level currentLevel;
    QString levelText;
    int overrideNumber = 0;
    int overrideListId = 0;
    QHash<qint64, QTextList*> documentLists; // by \ls and level
    struct PnList
    {
        QTextList* list;
        ParaProps numbering;
    };
    QHash<int, PnList> pnLists; // by level, while \pn paragraphs follow each other
    QStringList listTexts;
    QString pnText;

    QStringList hrefs;
    QString fieldInstruction;

    QByteArray pictureData;
    int pictureNibble = -1;
    Blip blip = Blip::None;
    int pictureGoalWidth = 0;
    int pictureGoalHeight = 0;
    int pictureScaleX = 100;
    int pictureScaleY = 100;
};

void RtfBuilder::read(QStringView rtf)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    startPosition = cursor.position();
    originalBlockFormat = cursor.blockFormat();
    originalBlockCharFormat = cursor.blockCharFormat();
    originalList = cursor.block().textList();
    stack.reserve(64);
    stack.emplace_back();

    RtfTokenizer tokenizer(rtf);
    for (RtfToken token = tokenizer.next(); token.type != RtfToken::End; token = tokenizer.next()) {
        if (token.type != RtfToken::Text && token.type != RtfToken::HexByte &&
            token.type != RtfToken::ControlSymbol)
            flushBytes();
        switch (token.type) {
        case RtfToken::GroupStart:
            groupStart();
            break;
        case RtfToken::GroupEnd:
            groupEnd();
            break;
        case RtfToken::ControlWord:
            controlWord(token);
            break;
        case RtfToken::ControlSymbol:
            controlSymbol(token.symbol);
            break;
        case RtfToken::HexByte:
            hexByte(token.byte);
            break;
        case RtfToken::Text:
            text(token.text);
            break;
        case RtfToken::Binary:
            binary(token.text);
            break;
        case RtfToken::End:
            break;
        }
    }
    flushBytes();
    // A truncated file leaves groups open: complete them as if they were closed.
    overflow = 0;
    while (stack.size() > 1)
        groupEnd();
    finish();
    cursor.endEditBlock();
}

void RtfBuilder::groupStart()
{
    skipRemaining = 0;
    if (overflow > 0 || qsizetype(stack.size()) > maxDepth) {
        ++overflow;
        return;
    }
    State state = stack.back();
    state.ownsDest = false;
    state.ignorable = false;
    // The entries of the font table and the style sheet are groups with no word of their own.
    if (state.dest == Dest::FontTable) {
        commitFont();
        state.dest = Dest::FontEntry;
        state.ownsDest = true;
    } else if (state.dest == Dest::StyleSheet) {
        state.dest = Dest::StyleEntry;
        state.ownsDest = true;
        state.chr = plainChar();
        state.para = ParaProps();
        styleNumber = 0;
        styleIsChar = false;
    }
    stack.push_back(state);
}

void RtfBuilder::groupEnd()
{
    skipRemaining = 0;
    if (overflow > 0) {
        --overflow;
        return;
    }
    if (stack.size() <= 1)
        return; // a closing brace too many
    const State closed = stack.back();
    stack.pop_back();
    State& parent = stack.back();
    if (!closed.ownsDest)
        return;
    switch (closed.dest) {
    case Dest::FontTable:
    case Dest::FontEntry:
        commitFont();
        break;
    case Dest::StyleEntry:
        commitStyle(closed);
        break;
    case Dest::LevelText:
        commitLevelText();
        break;
    case Dest::ListLevel:
        if (currentListLevels < listLevels)
            currentList[size_t(currentListLevels++)] = currentLevel;
        break;
    case Dest::List:
        if (lists.size() < maxLists || lists.contains(currentListId))
            lists.insert(currentListId, currentList);
        break;
    case Dest::ListOverride:
        if (listOverrides.size() < maxLists || listOverrides.contains(overrideNumber))
            listOverrides.insert(overrideNumber, overrideListId);
        break;
    case Dest::Picture:
        insertPicture();
        break;
    case Dest::FieldInstruction: {
        const QString target = hyperlinkTarget(fieldInstruction);
        if (!target.isEmpty()) {
            hrefs.append(target);
            parent.fieldHref = int(hrefs.size() - 1);
        }
        break;
    }
    case Dest::Pn:
        parent.para.pnKind = closed.para.pnKind;
        parent.para.pnStyle = closed.para.pnStyle;
        parent.para.pnLevel = closed.para.pnLevel;
        parent.para.pnBefore = closed.para.pnBefore;
        parent.para.pnAfter = closed.para.pnAfter;
        break;
    case Dest::PnTextBefore:
        parent.para.pnBefore = addListText(pnText);
        break;
    case Dest::PnTextAfter:
        parent.para.pnAfter = addListText(pnText);
        break;
    default:
        break;
    }
}

void RtfBuilder::setDest(Dest dest)
{
    top().dest = dest;
    top().ownsDest = true;
}

void RtfBuilder::controlWord(const RtfToken& token)
{
    if (overflow > 0)
        return;
    if (skipRemaining > 0) {
        --skipRemaining;
        return;
    }
    const RtfKeyword keyword = rtfKeyword(token.text);
    State& s = top();
    if (s.dest == Dest::Skip)
        return;
    if (s.dest == Dest::Upr) {
        // Of the two versions \upr holds, the Unicode one in \ud is read.
        if (keyword == RtfKeyword::Ud) {
            s.dest = Dest::Text;
            s.ignorable = false;
        }
        return;
    }
    if (s.ignorable) {
        s.ignorable = false;
        if (keyword == RtfKeyword::Unknown) {
            setDest(Dest::Skip);
            return;
        }
    }
    const int param = token.param;
    const bool on = !token.hasParam || param != 0;
    const Dest dest = s.dest;
    const bool inFontTable = dest == Dest::FontTable || dest == Dest::FontEntry;

    using K = RtfKeyword;
    switch (keyword) {
    case K::Unknown:
    case K::Rtf:
    case K::ShapePicture:
    case K::Result:
    case K::Ud:
        break;

    case K::FontTable:
        setDest(Dest::FontTable);
        fontHasNumber = false;
        fontName.clear();
        break;
    case K::ColorTable:
        setDest(Dest::ColorTable);
        colorHasValue = false;
        break;
    case K::StyleSheet:
        setDest(Dest::StyleSheet);
        break;
    case K::ListTable:
        setDest(Dest::ListTable);
        break;
    case K::List:
        setDest(Dest::List);
        currentList = ListDefinition();
        currentListLevels = 0;
        currentListId = 0;
        break;
    case K::ListLevel:
        setDest(Dest::ListLevel);
        currentLevel = Level();
        break;
    case K::LevelText:
        setDest(Dest::LevelText);
        levelText.clear();
        break;
    case K::ListOverrideTable:
        setDest(Dest::ListOverrideTable);
        break;
    case K::ListOverride:
        setDest(Dest::ListOverride);
        overrideNumber = 0;
        overrideListId = 0;
        break;
    case K::Picture:
        if (dest != Dest::Text) {
            setDest(Dest::Skip);
            break;
        }
        setDest(Dest::Picture);
        pictureData.clear();
        pictureNibble = -1;
        blip = Blip::None;
        pictureGoalWidth = 0;
        pictureGoalHeight = 0;
        pictureScaleX = 100;
        pictureScaleY = 100;
        break;
    case K::Field:
        s.fieldHref = -1;
        break;
    case K::FieldInstruction:
        // The instruction of a field nested in another field's instruction is not part of it.
        if (dest != Dest::Text) {
            setDest(Dest::Skip);
            break;
        }
        setDest(Dest::FieldInstruction);
        fieldInstruction.clear();
        break;
    case K::FieldResult:
        if (dest == Dest::Text)
            s.chr.href = s.fieldHref;
        break;
    case K::Pn:
        setDest(Dest::Pn);
        s.para.pnKind = PnKind::None;
        s.para.pnStyle = QTextListFormat::ListDecimal;
        s.para.pnLevel = 0;
        s.para.pnBefore = -1;
        s.para.pnAfter = -1;
        break;
    case K::PnTextBefore:
    case K::PnTextAfter:
        if (dest != Dest::Pn) {
            setDest(Dest::Skip);
            break;
        }
        setDest(keyword == K::PnTextBefore ? Dest::PnTextBefore : Dest::PnTextAfter);
        pnText.clear();
        break;
    case K::Upr:
        setDest(Dest::Upr);
        break;
    case K::SkipDestination:
        setDest(Dest::Skip);
        break;

    case K::Ansi:
        ansiCodePage = 1252;
        break;
    case K::AnsiCodePage:
        ansiCodePage = RtfCodePage::supported(param);
        break;
    case K::Mac:
        ansiCodePage = 10000;
        break;
    case K::Pc:
        ansiCodePage = 437;
        break;
    case K::Pca:
        ansiCodePage = 850;
        break;
    case K::DefaultFont:
        defaultFont = param;
        if (s.chr.font < 0)
            s.chr.font = param;
        break;
    case K::Font:
        if (inFontTable) {
            commitFont();
            fontHasNumber = true;
            fontNumber = param;
        } else {
            s.chr.font = param;
        }
        break;
    case K::FontCharset:
        if (inFontTable && fontCodePage == 0)
            fontCodePage = RtfCodePage::forCharset(param);
        break;
    case K::CodePage:
        if (inFontTable)
            fontCodePage = RtfCodePage::supported(param);
        break;
    case K::Red:
        red = std::clamp(param, 0, 255);
        colorHasValue = true;
        break;
    case K::Green:
        green = std::clamp(param, 0, 255);
        colorHasValue = true;
        break;
    case K::Blue:
        blue = std::clamp(param, 0, 255);
        colorHasValue = true;
        break;

    case K::Plain: {
        const int href = s.chr.href;
        s.chr = plainChar();
        s.chr.href = href;
        break;
    }
    case K::FontSize:
        s.chr.halfPoints = token.hasParam ? std::clamp(param, 2, 3276) : defaultHalfPoints;
        break;
    case K::Bold:
        s.chr.bold = on;
        break;
    case K::Italic:
        s.chr.italic = on;
        break;
    case K::Underline:
        s.chr.underline = on ? Underline::Single : Underline::None;
        break;
    case K::UnderlineNone:
        s.chr.underline = Underline::None;
        break;
    case K::UnderlineDotted:
        s.chr.underline = on ? Underline::Dotted : Underline::None;
        break;
    case K::UnderlineDash:
        s.chr.underline = on ? Underline::Dash : Underline::None;
        break;
    case K::UnderlineDashDot:
        s.chr.underline = on ? Underline::DashDot : Underline::None;
        break;
    case K::UnderlineDashDotDot:
        s.chr.underline = on ? Underline::DashDotDot : Underline::None;
        break;
    case K::UnderlineWave:
        s.chr.underline = on ? Underline::Wave : Underline::None;
        break;
    case K::Strike:
    case K::StrikeDouble:
        s.chr.strike = on;
        break;
    case K::ColorForeground:
        s.chr.color = param;
        break;
    case K::ColorBackground:
    case K::Highlight:
        s.chr.background = param;
        break;
    case K::Super:
        s.chr.vertical = Vertical::Super;
        break;
    case K::Sub:
        s.chr.vertical = Vertical::Sub;
        break;
    case K::NoSuperSub:
        s.chr.vertical = Vertical::Normal;
        break;
    case K::Up:
        s.chr.vertical = !token.hasParam || param > 0 ? Vertical::Super : Vertical::Normal;
        break;
    case K::Down:
        s.chr.vertical = !token.hasParam || param > 0 ? Vertical::Sub : Vertical::Normal;
        break;
    case K::Caps:
        s.chr.caps = on ? Caps::All : Caps::Normal;
        break;
    case K::SmallCaps:
        s.chr.caps = on ? Caps::Small : Caps::Normal;
        break;
    case K::Hidden:
        s.chr.hidden = on;
        break;
    case K::CharStyle:
        if (dest == Dest::StyleEntry) {
            styleNumber = param;
            styleIsChar = true;
        } else if (const auto it = charStyles.constFind(param); it != charStyles.cend()) {
            applyStyle(*it, false);
        }
        break;
    case K::StyleBasedOn:
        // Word writes a style's whole formatting; LibreOffice names the base first and writes only
        // what differs from it.
        if (dest == Dest::StyleEntry && s.chr == plainChar() && s.para == ParaProps()) {
            const QHash<int, Style>& styles = styleIsChar ? charStyles : paragraphStyles;
            if (const auto it = styles.constFind(param); it != styles.cend()) {
                s.chr = it->chr;
                s.para = it->para;
            }
        }
        break;
    case K::ParagraphStyle:
        if (dest == Dest::StyleEntry) {
            styleNumber = param;
            styleIsChar = false;
        } else if (const auto it = paragraphStyles.constFind(param); it != paragraphStyles.cend()) {
            applyStyle(*it, true);
        }
        break;

    case K::Pard:
        s.para = ParaProps();
        break;
    case K::AlignLeft:
        s.para.align = Align::Left;
        break;
    case K::AlignRight:
        s.para.align = Align::Right;
        break;
    case K::AlignCenter:
        s.para.align = Align::Center;
        break;
    case K::AlignJustify:
        s.para.align = Align::Justify;
        break;
    case K::LeftIndent:
        s.para.leftIndent = clampTwips(param);
        break;
    case K::RightIndent:
        s.para.rightIndent = clampTwips(param);
        break;
    case K::FirstIndent:
        s.para.firstIndent = clampTwips(param);
        break;
    case K::SpaceBefore:
        s.para.spaceBefore = std::clamp(param, 0, maxTwips);
        break;
    case K::SpaceAfter:
        s.para.spaceAfter = std::clamp(param, 0, maxTwips);
        break;
    case K::LineSpacing:
        s.para.lineSpacing = clampTwips(param);
        break;
    case K::LineSpacingMultiple:
        s.para.lineMultiple = on;
        break;
    case K::TabPosition:
        if (s.para.tabCount < maxTabStops) {
            s.para.tabs[size_t(s.para.tabCount++)] = {std::clamp(param, 0, maxTwips),
                                                      s.para.nextTabType};
        }
        s.para.nextTabType = QTextOption::LeftTab;
        break;
    case K::TabRight:
        s.para.nextTabType = QTextOption::RightTab;
        break;
    case K::TabCenter:
        s.para.nextTabType = QTextOption::CenterTab;
        break;
    case K::TabDecimal:
        s.para.nextTabType = QTextOption::DelimiterTab;
        break;
    case K::ListOverrideIndex:
        if (dest == Dest::ListOverride)
            overrideNumber = param;
        else
            s.para.listOverride = param;
        break;
    case K::ListLevelIndex:
        s.para.listLevel = std::clamp(param, 0, listLevels - 1);
        break;

    case K::LevelNumberFormat:
        if (dest == Dest::ListLevel)
            currentLevel.numberFormat = param;
        break;
    case K::ListId:
        if (dest == Dest::List)
            currentListId = param;
        else if (dest == Dest::ListOverride)
            overrideListId = param;
        break;
    case K::PnBullet:
        s.para.pnKind = PnKind::Bullet;
        break;
    case K::PnBody:
        s.para.pnKind = PnKind::Numbered;
        break;
    case K::PnContinue:
        s.para.pnKind = PnKind::Continue;
        break;
    case K::PnLevel:
        s.para.pnKind = PnKind::Numbered;
        s.para.pnLevel = std::clamp(param, 1, listLevels) - 1;
        break;
    case K::PnDecimal:
        s.para.pnStyle = QTextListFormat::ListDecimal;
        break;
    case K::PnUpperLetter:
        s.para.pnStyle = QTextListFormat::ListUpperAlpha;
        break;
    case K::PnLowerLetter:
        s.para.pnStyle = QTextListFormat::ListLowerAlpha;
        break;
    case K::PnUpperRoman:
        s.para.pnStyle = QTextListFormat::ListUpperRoman;
        break;
    case K::PnLowerRoman:
        s.para.pnStyle = QTextListFormat::ListLowerRoman;
        break;

    case K::Par:
        if (dest == Dest::Text)
            endParagraph();
        break;
    case K::Page:
        if (dest == Dest::Text)
            pageBreak();
        break;
    case K::Section:
        // A section break ends the paragraph it stands in; it adds no empty one.
        if (dest == Dest::Text) {
            flushText();
            if (paragraphHasContent)
                endParagraph();
        }
        break;
    case K::Line:
        put(QChar::LineSeparator);
        break;
    case K::Cell:
    case K::Tab:
        put(u'\t');
        break;
    case K::EmDash:
        put(u'\u2014');
        break;
    case K::EnDash:
        put(u'\u2013');
        break;
    case K::EmSpace:
        put(u'\u2003');
        break;
    case K::EnSpace:
        put(u'\u2002');
        break;
    case K::QmSpace:
        put(u'\u2005');
        break;
    case K::Bullet:
        put(u'\u2022');
        break;
    case K::LeftQuote:
        put(u'\u2018');
        break;
    case K::RightQuote:
        put(u'\u2019');
        break;
    case K::LeftDoubleQuote:
        put(u'\u201C');
        break;
    case K::RightDoubleQuote:
        put(u'\u201D');
        break;
    case K::Zwj:
        put(u'\u200D');
        break;
    case K::Zwnj:
        put(u'\u200C');
        break;
    case K::LtrMark:
        put(u'\u200E');
        break;
    case K::RtlMark:
        put(u'\u200F');
        break;

    case K::UnicodeChar: {
        // Negative values stand for code units above 0x7FFF, written as signed 16-bit numbers.
        const qint64 value = param < 0 ? qint64(param) + 65536 : param;
        if (value >= 0 && value <= 0xFFFF)
            put(char16_t(value));
        else if (value > 0xFFFF && value <= 0x10FFFF)
            put(QStringView(QChar::fromUcs4(char32_t(value))));
        skipRemaining = s.unicodeSkip;
        break;
    }
    case K::UnicodeSkip:
        s.unicodeSkip = token.hasParam ? std::clamp(param, 0, 1000) : 1;
        break;

    case K::PngBlip:
        if (dest == Dest::Picture)
            blip = Blip::Png;
        break;
    case K::JpegBlip:
        if (dest == Dest::Picture)
            blip = Blip::Jpeg;
        break;
    case K::PictureWidth:
    case K::PictureHeight:
        break;
    case K::PictureWidthGoal:
        pictureGoalWidth = std::clamp(param, 0, maxTwips);
        break;
    case K::PictureHeightGoal:
        pictureGoalHeight = std::clamp(param, 0, maxTwips);
        break;
    case K::PictureScaleX:
        pictureScaleX = param > 0 ? std::min(param, 1000) : 100;
        break;
    case K::PictureScaleY:
        pictureScaleY = param > 0 ? std::min(param, 1000) : 100;
        break;
    }
}

// Writers put the style word right after \pard and \plain and write the formatting that differs
// after it; some also repeat a style word inside formatted text, where it must not undo that
// formatting. So a style only fills properties still fresh.
void RtfBuilder::applyStyle(const Style& style, bool paragraph)
{
    State& s = top();
    CharProps fresh = plainChar();
    fresh.href = s.chr.href;
    if (s.chr == fresh) {
        s.chr = style.chr;
        s.chr.href = fresh.href;
    }
    if (paragraph && s.para == ParaProps())
        s.para = style.para;
}

void RtfBuilder::controlSymbol(char16_t symbol)
{
    if (overflow > 0)
        return;
    if (skipRemaining > 0) {
        --skipRemaining;
        return;
    }
    State& s = top();
    if (s.dest == Dest::Skip || s.dest == Dest::Upr)
        return;
    switch (symbol) {
    case u'*':
        s.ignorable = true;
        break;
    case u'{':
    case u'}':
    case u'\\':
        // Literal bytes: in a multi-byte code page they may be the second byte of a character.
        hexByte(uchar(symbol));
        break;
    case u'~':
        flushBytes();
        put(u'\u00A0');
        break;
    case u'-':
        flushBytes();
        put(u'\u00AD');
        break;
    case u'_':
        flushBytes();
        put(u'\u2011');
        break;
    default:
        break;
    }
}

void RtfBuilder::text(QStringView units)
{
    if (overflow > 0)
        return;
    if (skipRemaining > 0) {
        const qsizetype skipped = std::min<qsizetype>(skipRemaining, units.size());
        units = units.sliced(skipped);
        skipRemaining -= int(skipped);
    }
    if (units.isEmpty())
        return;
    switch (top().dest) {
    case Dest::Picture:
        for (const QChar unit : units) {
            const char16_t c = unit.unicode();
            int value = -1;
            if (c >= '0' && c <= '9')
                value = c - '0';
            else if (c >= 'a' && c <= 'f')
                value = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                value = c - 'A' + 10;
            if (value < 0)
                continue; // blanks and stray characters between the digits
            if (pictureNibble < 0) {
                pictureNibble = value;
            } else {
                pictureData.append(char(pictureNibble * 16 + value));
                pictureNibble = -1;
            }
        }
        return;
    case Dest::ColorTable:
        for (const QChar unit : units) {
            if (unit == u';')
                commitColor();
        }
        return;
    case Dest::Text:
    case Dest::FontTable:
    case Dest::FontEntry:
    case Dest::LevelText:
    case Dest::FieldInstruction:
    case Dest::PnTextBefore:
    case Dest::PnTextAfter:
        break;
    default:
        return;
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (units[i].unicode() > 0xFF) {
            for (qsizetype j = start; j < i; ++j)
                pendingBytes.append(char(units[j].unicode()));
            flushBytes();
            put(units[i].unicode());
            start = i + 1;
        }
    }
    for (qsizetype j = start; j < units.size(); ++j)
        pendingBytes.append(char(units[j].unicode()));
}

void RtfBuilder::hexByte(uchar byte)
{
    if (overflow > 0)
        return;
    if (skipRemaining > 0) {
        --skipRemaining;
        return;
    }
    switch (top().dest) {
    case Dest::Text:
    case Dest::FontTable:
    case Dest::FontEntry:
    case Dest::LevelText:
    case Dest::FieldInstruction:
    case Dest::PnTextBefore:
    case Dest::PnTextAfter:
        pendingBytes.append(char(byte));
        break;
    default:
        break;
    }
}

void RtfBuilder::binary(QStringView data)
{
    if (overflow > 0)
        return;
    if (skipRemaining > 0) {
        --skipRemaining;
        return;
    }
    if (top().dest != Dest::Picture)
        return;
    pictureData.reserve(pictureData.size() + data.size());
    for (const QChar unit : data)
        pictureData.append(char(unit.unicode()));
}

int RtfBuilder::codePageNumber()
{
    const State& s = top();
    int number = 0;
    if (s.dest == Dest::FontTable || s.dest == Dest::FontEntry) {
        number = fontCodePage;
    } else if (s.chr.font == cachedFontNumber) {
        number = cachedFontCodePage;
    } else if (const auto it = fonts.constFind(s.chr.font); it != fonts.cend()) {
        number = it->codePage;
        cachedFontNumber = s.chr.font;
        cachedFontCodePage = number;
    }
    return number != 0 ? number : ansiCodePage;
}

const RtfCodePage& RtfBuilder::codePage(int number)
{
    std::unique_ptr<RtfCodePage>& page = codePages[number];
    if (!page)
        page = std::make_unique<RtfCodePage>(number);
    return *page;
}

void RtfBuilder::flushBytes()
{
    if (pendingBytes.isEmpty())
        return;
    decoded.clear();
    codePage(codePageNumber()).decode(pendingBytes, decoded);
    pendingBytes.clear();
    put(decoded);
}

void RtfBuilder::put(QStringView text)
{
    const State& s = top();
    switch (s.dest) {
    case Dest::Text:
        if (s.chr.hidden)
            return;
        if (!pendingText.isEmpty() && !(s.chr == pendingProps))
            flushText();
        pendingProps = s.chr;
        lastPara = s.para;
        pendingText.append(text);
        return;
    case Dest::FontTable:
    case Dest::FontEntry:
        // A semicolon ends a font's entry; a flat table holds several entries in one group.
        for (const QChar c : text) {
            if (c == u';')
                commitFont();
            else
                fontName.append(c);
        }
        return;
    case Dest::LevelText:
        levelText.append(text);
        return;
    case Dest::FieldInstruction:
        fieldInstruction.append(text);
        return;
    case Dest::PnTextBefore:
    case Dest::PnTextAfter:
        pnText.append(text);
        return;
    default:
        return;
    }
}

void RtfBuilder::flushText()
{
    if (pendingText.isEmpty())
        return;
    // Characters QTextDocument would take for structure, and control characters, are not text.
    qsizetype kept = 0;
    QChar* data = pendingText.data();
    for (qsizetype i = 0; i < pendingText.size(); ++i) {
        const char16_t c = data[i].unicode();
        if ((c < 0x20 && c != u'\t') || c == 0x7F || c == 0xFDD0 || c == 0xFDD1 ||
            c == QChar::ObjectReplacementCharacter)
            continue;
        data[kept++] = c == QChar::ParagraphSeparator ? QChar(QChar::LineSeparator) : data[i];
    }
    pendingText.truncate(kept);
    if (!pendingText.isEmpty()) {
        ensureBlock();
        cursor.insertText(pendingText, charFormat(pendingProps));
        paragraphHasContent = true;
    }
    pendingText.clear();
}

void RtfBuilder::ensureBlock()
{
    if (!pendingBreak)
        return;
    pendingBreak = false;
    insertedBreak = true;
    cursor.insertBlock(QTextBlockFormat(), charFormat(top().chr));
}

void RtfBuilder::endParagraph()
{
    flushText();
    ensureBlock();
    applyParagraph(top().para);
    pendingBreak = true;
    paragraphHasContent = false;
}

void RtfBuilder::pageBreak()
{
    flushText();
    if (paragraphHasContent)
        endParagraph();
    pageBreakBefore = true;
}

void RtfBuilder::applyParagraph(const ParaProps& para)
{
    ListPlace place = listPlace(para);
    const QTextBlock block = cursor.block();
    QTextList* previous = block.textList();
    if (previous && previous != place.list)
        previous->remove(block);

    QTextBlockFormat format = blockFormat(para, place.inList());
    if (pageBreakBefore) {
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        pageBreakBefore = false;
    }
    cursor.setBlockFormat(format);

    if (place.list) {
        if (place.list != previous)
            place.list->add(cursor.block());
    } else if (place.inList()) {
        QTextList* list = cursor.createList(place.format);
        if (place.fromOverride)
            documentLists.insert(place.key, list);
        else
            pnLists.insert(int(place.key), {list, para});
    }
}

RtfBuilder::ListPlace RtfBuilder::listPlace(const ParaProps& para)
{
    ListPlace place;
    // A list override the tables do not resolve leaves the old-style numbering, if any.
    const auto override = listOverrides.constFind(para.listOverride);
    const auto definition =
        override != listOverrides.cend() ? lists.constFind(*override) : lists.cend();
    if (para.listOverride != 0 && definition != lists.cend()) {
        pnLists.clear();
        const Level& level = (*definition)[size_t(para.listLevel)];
        if (level.numberFormat == 255)
            return place; // a level that shows no number
        place.fromOverride = true;
        place.key = qint64(para.listOverride) * listLevels + para.listLevel;
        place.list = documentLists.value(place.key);
        if (place.list)
            return place;
        if (level.bullet || level.numberFormat == 23) {
            place.format.setStyle(bulletStyle(level.bulletChar));
        } else {
            place.format.setStyle(numberStyle(level.numberFormat));
            if (level.hasAffixes) {
                place.format.setNumberPrefix(level.prefix);
                place.format.setNumberSuffix(level.suffix);
            }
        }
        place.format.setIndent(para.listLevel + 1);
        return place;
    }

    if (para.pnKind != PnKind::Bullet && para.pnKind != PnKind::Numbered) {
        pnLists.clear();
        return place;
    }
    // Old-style numbering: paragraphs that follow each other with the same numbering form a list.
    const int level = std::max(para.pnLevel, para.listLevel);
    place.key = level;
    if (const auto it = pnLists.constFind(level); it != pnLists.cend()) {
        const ParaProps& numbering = it->numbering;
        if (para.pnKind == numbering.pnKind && para.pnStyle == numbering.pnStyle &&
            para.pnBefore == numbering.pnBefore && para.pnAfter == numbering.pnAfter) {
            place.list = it->list;
            return place;
        }
    }
    const QString before = para.pnBefore >= 0 ? listTexts[para.pnBefore] : QString();
    const QString after = para.pnAfter >= 0 ? listTexts[para.pnAfter] : QString();
    if (para.pnKind == PnKind::Bullet) {
        place.format.setStyle(bulletStyle(before.isEmpty() ? char16_t(0) : before[0].unicode()));
    } else {
        place.format.setStyle(para.pnStyle);
        place.format.setNumberPrefix(before);
        place.format.setNumberSuffix(after);
    }
    place.format.setIndent(level + 1);
    return place;
}

QTextBlockFormat RtfBuilder::blockFormat(const ParaProps& para, bool inList)
{
    if (haveCachedBlock && inList == cachedInList && para == cachedParaProps)
        return cachedBlockFormat;
    QTextBlockFormat format;
    switch (para.align) {
    case Align::Left:
        format.setAlignment(Qt::AlignLeft);
        break;
    case Align::Right:
        format.setAlignment(Qt::AlignRight);
        break;
    case Align::Center:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case Align::Justify:
        format.setAlignment(Qt::AlignJustify);
        break;
    }
    // A list's own indent places its items, so the indents written for the numbers are not added.
    if (!inList) {
        const int left = std::max(0, para.leftIndent);
        const int first = std::max(-left, para.firstIndent);
        if (left != 0)
            format.setLeftMargin(left / twipsPerPixel);
        if (first != 0)
            format.setTextIndent(first / twipsPerPixel);
    }
    if (para.rightIndent > 0)
        format.setRightMargin(para.rightIndent / twipsPerPixel);
    if (para.spaceBefore != 0)
        format.setTopMargin(para.spaceBefore / twipsPerPixel);
    if (para.spaceAfter != 0)
        format.setBottomMargin(para.spaceAfter / twipsPerPixel);
    if (para.lineSpacing > 0 && para.lineMultiple) {
        format.setLineHeight(para.lineSpacing * 100.0 / 240.0,
                             QTextBlockFormat::ProportionalHeight);
    } else if (para.lineSpacing > 0) {
        format.setLineHeight(para.lineSpacing / twipsPerPixel, QTextBlockFormat::MinimumHeight);
    } else if (para.lineSpacing < 0) {
        format.setLineHeight(-para.lineSpacing / twipsPerPixel, QTextBlockFormat::FixedHeight);
    }
    if (para.tabCount > 0) {
        QList<QTextOption::Tab> tabs;
        for (int i = 0; i < para.tabCount; ++i) {
            const TabStop& stop = para.tabs[size_t(i)];
            tabs.append(
                QTextOption::Tab(stop.position / twipsPerPixel, stop.type,
                                 stop.type == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
        }
        format.setTabPositions(tabs);
    }
    haveCachedBlock = true;
    cachedInList = inList;
    cachedParaProps = para;
    cachedBlockFormat = format;
    return format;
}

void RtfBuilder::finish()
{
    flushText();
    if (pendingBreak) {
        // The input's last paragraph mark: kept only where the insertion has text after it.
        if (!cursor.atEnd()) {
            cursor.insertBlock(QTextBlockFormat(), originalBlockCharFormat);
            restoreOriginalParagraph();
        }
        pendingBreak = false;
    } else if (cursor.atBlockEnd() && cursor.block().position() >= startPosition) {
        // A last paragraph with no mark of its own, in a paragraph of its own.
        if (paragraphHasContent)
            applyParagraph(lastPara);
    } else if (insertedBreak) {
        restoreOriginalParagraph();
    }
}

// The text after the insertion point stays in the paragraph it was in, with its format.
void RtfBuilder::restoreOriginalParagraph()
{
    QTextBlockFormat format = originalBlockFormat;
    format.setObjectIndex(-1);
    cursor.setBlockFormat(format);
    if (originalList && cursor.block().textList() != originalList)
        originalList->add(cursor.block());
}

CharProps RtfBuilder::plainChar() const
{
    CharProps props;
    props.font = defaultFont;
    return props;
}

std::optional<QColor> RtfBuilder::color(int index) const
{
    if (index < 0 || size_t(index) >= colors.size())
        return std::nullopt;
    return colors[size_t(index)];
}

QTextCharFormat RtfBuilder::charFormat(const CharProps& props)
{
    if (haveCachedChar && props == cachedCharProps)
        return cachedCharFormat;
    QTextCharFormat format;
    if (const auto font = fonts.constFind(props.font);
        font != fonts.cend() && !font->name.isEmpty())
        format.setFontFamilies({font->name});
    if (props.halfPoints > 0)
        format.setFontPointSize(props.halfPoints / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    switch (props.underline) {
    case Underline::None:
        break;
    case Underline::Single:
        format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        break;
    case Underline::Dotted:
        format.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    case Underline::Dash:
        format.setUnderlineStyle(QTextCharFormat::DashUnderline);
        break;
    case Underline::DashDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotLine);
        break;
    case Underline::DashDotDot:
        format.setUnderlineStyle(QTextCharFormat::DashDotDotLine);
        break;
    case Underline::Wave:
        format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        break;
    }
    if (props.strike)
        format.setFontStrikeOut(true);
    if (const auto foreground = color(props.color))
        format.setForeground(*foreground);
    if (props.background != 0) {
        if (const auto background = color(props.background))
            format.setBackground(*background);
    }
    if (props.vertical == Vertical::Super)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.vertical == Vertical::Sub)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (props.caps == Caps::All)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props.caps == Caps::Small)
        format.setFontCapitalization(QFont::SmallCaps);
    if (props.href >= 0 && props.href < hrefs.size()) {
        format.setAnchor(true);
        format.setAnchorHref(hrefs[props.href]);
    }
    haveCachedChar = true;
    cachedCharProps = props;
    cachedCharFormat = format;
    return format;
}

void RtfBuilder::commitFont()
{
    if (fontHasNumber && (fonts.size() < maxFonts || fonts.contains(fontNumber))) {
        // Font names may carry a trailing blank before the semicolon.
        fonts.insert(fontNumber, Font{fontName.trimmed(), fontCodePage});
        if (fontNumber == cachedFontNumber)
            cachedFontNumber = -1;
        haveCachedChar = false;
    }
    fontHasNumber = false;
    fontCodePage = 0;
    fontName.clear();
}

void RtfBuilder::commitColor()
{
    if (colors.size() < size_t(maxColors)) {
        colors.push_back(colorHasValue ? std::optional<QColor>(QColor(red, green, blue))
                                       : std::nullopt);
    }
    haveCachedChar = false;
    red = green = blue = 0;
    colorHasValue = false;
}

void RtfBuilder::commitStyle(const State& closed)
{
    QHash<int, Style>& styles = styleIsChar ? charStyles : paragraphStyles;
    if (styles.size() < maxStyles || styles.contains(styleNumber))
        styles.insert(styleNumber, Style{closed.chr, closed.para});
}

void RtfBuilder::commitLevelText()
{
    // The first character is the length; the characters below 9 stand for the levels' numbers.
    if (levelText.isEmpty())
        return;
    const QString body = levelText.mid(1, levelText[0].unicode());
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i].unicode() < listLevels) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0) {
        currentLevel.bullet = true;
        currentLevel.bulletChar = body.isEmpty() ? char16_t(0) : body[0].unicode();
        return;
    }
    currentLevel.hasAffixes = true;
    currentLevel.prefix = body.left(first);
    currentLevel.suffix = body.mid(last + 1);
}

int RtfBuilder::addListText(const QString& text)
{
    const qsizetype found = listTexts.indexOf(text);
    if (found >= 0)
        return int(found);
    listTexts.append(text);
    return int(listTexts.size() - 1);
}

void RtfBuilder::insertPicture()
{
    if (blip == Blip::None || pictureData.isEmpty())
        return;
    // A PNG cut short is left alone: libpng would report it on the standard error.
    if (blip == Blip::Png && !pictureData.contains("IEND"))
        return;
    QImage image;
    if (!image.loadFromData(pictureData, blip == Blip::Png ? "PNG" : "JPEG"))
        return;
    const QString name =
        QStringLiteral("rtfimage:") +
        QString::fromLatin1(
            QCryptographicHash::hash(pictureData, QCryptographicHash::Sha1).toHex());
    cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);

    QTextImageFormat format;
    format.setName(name);
    if (pictureGoalWidth > 0 || pictureGoalHeight > 0 || pictureScaleX != 100 ||
        pictureScaleY != 100) {
        const double width =
            pictureGoalWidth > 0 ? pictureGoalWidth / twipsPerPixel : double(image.width());
        const double height =
            pictureGoalHeight > 0 ? pictureGoalHeight / twipsPerPixel : double(image.height());
        format.setWidth(width * pictureScaleX / 100.0);
        format.setHeight(height * pictureScaleY / 100.0);
    }
    flushText();
    ensureBlock();
    cursor.insertImage(format);
    paragraphHasContent = true;
    lastPara = top().para;
}

// Where the RTF header starts after an optional byte-order mark and blanks, or -1.
qsizetype headerOffset(QStringView text)
{
    qsizetype i = 0;
    if (text.startsWith(u"\u00EF\u00BB\u00BF"))
        i = 3; // a UTF-8 byte-order mark, one byte a character
    else if (text.startsWith(u'\uFEFF'))
        i = 1;
    while (i < text.size() &&
           (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    return text.sliced(i).startsWith(u"{\\rtf") ? i : -1;
}

void insertPlainText(QString text, QTextCursor& cursor)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    cursor.insertText(text);
}

} // namespace

bool isRtf(const QByteArray& data)
{
    return headerOffset(QString::fromLatin1(data.left(64))) >= 0;
}

bool isRtf(const QString& text)
{
    return headerOffset(QStringView(text).left(64)) >= 0;
}

void readRtf(const QByteArray& rtf, QTextCursor& cursor)
{
    if (cursor.isNull())
        return;
    if (!isRtf(rtf)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(rtf);
        if (utf8.hasError()) {
            text.clear();
            RtfCodePage(1252).decode(rtf, text);
        }
        cursor.beginEditBlock();
        insertPlainText(text, cursor);
        cursor.endEditBlock();
        return;
    }
    readRtf(QString::fromLatin1(rtf), cursor);
}

void readRtf(const QString& rtf, QTextCursor& cursor)
{
    if (cursor.isNull())
        return;
    const qsizetype offset = headerOffset(QStringView(rtf).left(64));
    if (offset < 0) {
        cursor.beginEditBlock();
        insertPlainText(rtf, cursor);
        cursor.endEditBlock();
        return;
    }
    RtfBuilder(cursor).read(QStringView(rtf).sliced(offset));
}

} // namespace lw
