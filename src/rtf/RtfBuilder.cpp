#include "rtf/RtfBuilder.h"

#include "rtf/RtfCodePage.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfTokenizer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QImageReader>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace lw {

namespace {

// Groups nested deeper are dropped with their content, so that a hostile file cannot make the
// state stack grow without bound.
constexpr qsizetype maxDepth = 1000;
constexpr int maxTwips = rtfMaxTwips;
constexpr double twipsPerPixel = rtfTwipsPerPixel;
constexpr qsizetype maxStyles = 4096;
constexpr qsizetype maxFonts = 65536;
constexpr size_t maxColors = 65536;
constexpr qsizetype maxLists = 4096;
constexpr int defaultHalfPoints = 24;
// QTextList renumbers all its items whenever one is added, so a list costs time quadratic in its
// length; a longer list goes on as a new list of the same format, its numbers starting again.
constexpr int maxListItems = 256;
// Decoded picture pixels one read may produce: a small file must not make the reader decode
// and keep gigabytes of pictures.
constexpr qint64 maxPicturePixels = rtfMaxPicturePixels;

int clampTwips(int value)
{
    return std::clamp(value, -maxTwips, maxTwips);
}

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
    case 0x00A7: // the Wingdings square byte read as text
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

} // namespace

RtfBuilder::RtfBuilder(QTextCursor& cursor) : cursor(cursor), pixelBudget(maxPicturePixels) {}

RtfBuilder::~RtfBuilder() = default;

bool RtfBuilder::read(QStringView rtf, const std::function<bool(qint64 done)>& progress)
{
    // Often enough for a progress window to answer Cancel at once, seldom enough to cost nothing.
    constexpr qsizetype progressStep = qsizetype(1) << 15;
    qsizetype nextReport = progressStep;
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
        // Undecoded bytes belong to the group and formatting they were read in.
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
        if (progress && tokenizer.consumed() >= nextReport) {
            nextReport = tokenizer.consumed() + progressStep;
            if (!progress(tokenizer.consumed())) {
                cursor.endEditBlock();
                return false;
            }
        }
    }
    flushBytes();
    // A truncated file leaves groups open: complete them as if they were closed.
    overflow = 0;
    while (stack.size() > 1)
        groupEnd();
    finish();
    cursor.endEditBlock();
    if (progress)
        return progress(rtf.size());
    return true;
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
    case Dest::FieldInstruction:
        if (const QString target = hyperlinkTarget(fieldInstruction); !target.isEmpty()) {
            hrefs.append(target);
            parent.fieldHref = int(hrefs.size() - 1);
        }
        break;
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
    if (destinationWord(keyword) || documentWord(keyword, token) || characterWord(keyword, token) ||
        paragraphWord(keyword, token) || listWord(keyword, token) || textWord(keyword, token))
        return;
    pictureWord(keyword, token);
}

bool RtfBuilder::destinationWord(RtfKeyword keyword)
{
    using K = RtfKeyword;
    State& s = top();
    const Dest dest = s.dest;
    switch (keyword) {
    case K::Rtf:
    case K::ShapePicture:
    case K::Result:
    case K::Ud:
        // Containers whose content is text like any other.
        return true;
    case K::FontTable:
        setDest(Dest::FontTable);
        fontHasNumber = false;
        fontName.clear();
        return true;
    case K::ColorTable:
        setDest(Dest::ColorTable);
        colorHasValue = false;
        return true;
    case K::StyleSheet:
        setDest(Dest::StyleSheet);
        return true;
    case K::ListTable:
        setDest(Dest::ListTable);
        return true;
    case K::List:
        setDest(Dest::List);
        currentList = ListDefinition();
        currentListLevels = 0;
        currentListId = 0;
        return true;
    case K::ListLevel:
        setDest(Dest::ListLevel);
        currentLevel = Level();
        return true;
    case K::LevelText:
        setDest(Dest::LevelText);
        levelText.clear();
        return true;
    case K::ListOverrideTable:
        setDest(Dest::ListOverrideTable);
        return true;
    case K::ListOverride:
        setDest(Dest::ListOverride);
        overrideNumber = 0;
        overrideListId = 0;
        return true;
    case K::Picture:
        if (dest != Dest::Text) {
            setDest(Dest::Skip);
            return true;
        }
        setDest(Dest::Picture);
        pictureData.clear();
        pictureNibble = -1;
        blip = Blip::None;
        pictureGoalWidth = 0;
        pictureGoalHeight = 0;
        pictureScaleX = 100;
        pictureScaleY = 100;
        return true;
    case K::Field:
        s.fieldHref = -1;
        return true;
    case K::FieldInstruction:
        // The instruction of a field nested in another field's instruction is not part of it.
        if (dest != Dest::Text) {
            setDest(Dest::Skip);
            return true;
        }
        setDest(Dest::FieldInstruction);
        fieldInstruction.clear();
        return true;
    case K::FieldResult:
        if (dest == Dest::Text)
            s.chr.href = s.fieldHref;
        return true;
    case K::Pn:
        setDest(Dest::Pn);
        s.para.pnKind = PnKind::None;
        s.para.pnStyle = QTextListFormat::ListDecimal;
        s.para.pnLevel = 0;
        s.para.pnBefore = -1;
        s.para.pnAfter = -1;
        return true;
    case K::PnTextBefore:
    case K::PnTextAfter:
        if (dest != Dest::Pn) {
            setDest(Dest::Skip);
            return true;
        }
        setDest(keyword == K::PnTextBefore ? Dest::PnTextBefore : Dest::PnTextAfter);
        pnText.clear();
        return true;
    case K::Upr:
        setDest(Dest::Upr);
        return true;
    case K::SkipDestination:
        setDest(Dest::Skip);
        return true;
    default:
        return false;
    }
}

bool RtfBuilder::documentWord(RtfKeyword keyword, const RtfToken& token)
{
    using K = RtfKeyword;
    State& s = top();
    const int param = token.param;
    const bool inFontTable = s.dest == Dest::FontTable || s.dest == Dest::FontEntry;
    switch (keyword) {
    case K::Ansi:
        ansiCodePage = 1252;
        return true;
    case K::AnsiCodePage:
        ansiCodePage = RtfCodePage::supported(param);
        return true;
    case K::Mac:
        ansiCodePage = 10000;
        return true;
    case K::Pc:
        ansiCodePage = 437;
        return true;
    case K::Pca:
        ansiCodePage = 850;
        return true;
    case K::DefaultFont:
        defaultFont = param;
        if (s.chr.font < 0)
            s.chr.font = param;
        return true;
    case K::Font:
        if (inFontTable) {
            commitFont();
            fontHasNumber = true;
            fontNumber = param;
        } else {
            s.chr.font = param;
        }
        return true;
    case K::FontCharset:
        if (inFontTable && fontCodePage == 0)
            fontCodePage = RtfCodePage::forCharset(param);
        return true;
    case K::CodePage:
        if (inFontTable)
            fontCodePage = RtfCodePage::supported(param);
        return true;
    case K::Red:
        red = std::clamp(param, 0, 255);
        colorHasValue = true;
        return true;
    case K::Green:
        green = std::clamp(param, 0, 255);
        colorHasValue = true;
        return true;
    case K::Blue:
        blue = std::clamp(param, 0, 255);
        colorHasValue = true;
        return true;
    case K::StyleBasedOn:
        // Word writes a style's whole formatting; LibreOffice names the base first and writes
        // only what differs from it.
        if (s.dest == Dest::StyleEntry && s.chr == plainChar() && s.para == ParaProps()) {
            const QHash<int, Style>& styles = styleIsChar ? charStyles : paragraphStyles;
            if (const auto it = styles.constFind(param); it != styles.cend()) {
                s.chr = it->chr;
                s.para = it->para;
            }
        }
        return true;
    case K::CharStyle:
        if (s.dest == Dest::StyleEntry) {
            styleNumber = param;
            styleIsChar = true;
        } else if (const auto it = charStyles.constFind(param); it != charStyles.cend()) {
            applyStyle(*it, false);
        }
        return true;
    case K::ParagraphStyle:
        if (s.dest == Dest::StyleEntry) {
            styleNumber = param;
            styleIsChar = false;
        } else if (const auto it = paragraphStyles.constFind(param); it != paragraphStyles.cend()) {
            applyStyle(*it, true);
        }
        return true;
    default:
        return false;
    }
}

bool RtfBuilder::characterWord(RtfKeyword keyword, const RtfToken& token)
{
    using K = RtfKeyword;
    CharProps& chr = top().chr;
    const int param = token.param;
    const bool on = !token.hasParam || param != 0;
    const auto underline = [&](Underline kind) { chr.underline = on ? kind : Underline::None; };
    switch (keyword) {
    case K::Plain: {
        const int href = chr.href;
        chr = plainChar();
        chr.href = href;
        return true;
    }
    case K::FontSize:
        chr.halfPoints = token.hasParam ? std::clamp(param, 2, 3276) : defaultHalfPoints;
        return true;
    case K::Bold:
        chr.bold = on;
        return true;
    case K::Italic:
        chr.italic = on;
        return true;
    case K::Underline:
        underline(Underline::Single);
        return true;
    case K::UnderlineNone:
        chr.underline = Underline::None;
        return true;
    case K::UnderlineDotted:
        underline(Underline::Dotted);
        return true;
    case K::UnderlineDash:
        underline(Underline::Dash);
        return true;
    case K::UnderlineDashDot:
        underline(Underline::DashDot);
        return true;
    case K::UnderlineDashDotDot:
        underline(Underline::DashDotDot);
        return true;
    case K::UnderlineWave:
        underline(Underline::Wave);
        return true;
    case K::Strike:
    case K::StrikeDouble:
        chr.strike = on;
        return true;
    case K::ColorForeground:
        chr.color = param;
        return true;
    case K::ColorBackground:
    case K::Highlight:
        chr.background = param;
        return true;
    case K::Super:
        chr.vertical = Vertical::Super;
        return true;
    case K::Sub:
        chr.vertical = Vertical::Sub;
        return true;
    case K::NoSuperSub:
        chr.vertical = Vertical::Normal;
        return true;
    case K::Up:
        chr.vertical = !token.hasParam || param > 0 ? Vertical::Super : Vertical::Normal;
        return true;
    case K::Down:
        chr.vertical = !token.hasParam || param > 0 ? Vertical::Sub : Vertical::Normal;
        return true;
    case K::Caps:
        chr.caps = on ? Caps::All : Caps::Normal;
        return true;
    case K::SmallCaps:
        chr.caps = on ? Caps::Small : Caps::Normal;
        return true;
    case K::Hidden:
        chr.hidden = on;
        return true;
    default:
        return false;
    }
}

bool RtfBuilder::paragraphWord(RtfKeyword keyword, const RtfToken& token)
{
    using K = RtfKeyword;
    ParaProps& para = top().para;
    const int param = token.param;
    switch (keyword) {
    case K::Pard:
        para = ParaProps();
        return true;
    case K::AlignLeft:
        para.align = Align::Left;
        return true;
    case K::AlignRight:
        para.align = Align::Right;
        return true;
    case K::AlignCenter:
        para.align = Align::Center;
        return true;
    case K::AlignJustify:
        para.align = Align::Justify;
        return true;
    case K::LeftIndent:
        para.leftIndent = clampTwips(param);
        return true;
    case K::RightIndent:
        para.rightIndent = clampTwips(param);
        return true;
    case K::FirstIndent:
        para.firstIndent = clampTwips(param);
        return true;
    case K::SpaceBefore:
        para.spaceBefore = std::clamp(param, 0, maxTwips);
        return true;
    case K::SpaceAfter:
        para.spaceAfter = std::clamp(param, 0, maxTwips);
        return true;
    case K::LineSpacing:
        para.lineSpacing = clampTwips(param);
        return true;
    case K::LineSpacingMultiple:
        para.lineMultiple = !token.hasParam || param != 0;
        return true;
    case K::TabPosition:
        if (para.tabCount < maxTabStops)
            para.tabs[size_t(para.tabCount++)] = {std::clamp(param, 0, maxTwips), para.nextTabType};
        para.nextTabType = QTextOption::LeftTab;
        return true;
    case K::TabRight:
        para.nextTabType = QTextOption::RightTab;
        return true;
    case K::TabCenter:
        para.nextTabType = QTextOption::CenterTab;
        return true;
    case K::TabDecimal:
        para.nextTabType = QTextOption::DelimiterTab;
        return true;
    default:
        return false;
    }
}

bool RtfBuilder::listWord(RtfKeyword keyword, const RtfToken& token)
{
    using K = RtfKeyword;
    State& s = top();
    const int param = token.param;
    switch (keyword) {
    case K::ListOverrideIndex:
        if (s.dest == Dest::ListOverride)
            overrideNumber = param;
        else
            s.para.listOverride = param;
        return true;
    case K::ListLevelIndex:
        s.para.listLevel = std::clamp(param, 0, listLevels - 1);
        return true;
    case K::LevelNumberFormat:
        if (s.dest == Dest::ListLevel)
            currentLevel.numberFormat = param;
        return true;
    case K::ListId:
        if (s.dest == Dest::List)
            currentListId = param;
        else if (s.dest == Dest::ListOverride)
            overrideListId = param;
        return true;
    case K::PnBullet:
        s.para.pnKind = PnKind::Bullet;
        return true;
    case K::PnBody:
        s.para.pnKind = PnKind::Numbered;
        return true;
    case K::PnContinue:
        s.para.pnKind = PnKind::Continue;
        return true;
    case K::PnLevel:
        s.para.pnKind = PnKind::Numbered;
        s.para.pnLevel = std::clamp(param, 1, listLevels) - 1;
        return true;
    case K::PnDecimal:
        s.para.pnStyle = QTextListFormat::ListDecimal;
        return true;
    case K::PnUpperLetter:
        s.para.pnStyle = QTextListFormat::ListUpperAlpha;
        return true;
    case K::PnLowerLetter:
        s.para.pnStyle = QTextListFormat::ListLowerAlpha;
        return true;
    case K::PnUpperRoman:
        s.para.pnStyle = QTextListFormat::ListUpperRoman;
        return true;
    case K::PnLowerRoman:
        s.para.pnStyle = QTextListFormat::ListLowerRoman;
        return true;
    default:
        return false;
    }
}

bool RtfBuilder::textWord(RtfKeyword keyword, const RtfToken& token)
{
    using K = RtfKeyword;
    State& s = top();
    const bool inText = s.dest == Dest::Text;
    switch (keyword) {
    case K::Par:
        if (inText)
            endParagraph();
        return true;
    case K::Page:
        if (inText)
            pageBreak();
        return true;
    case K::Section:
        // A section break ends the paragraph it stands in; it adds no empty one.
        if (inText) {
            flushText();
            if (paragraphHasContent)
                endParagraph();
        }
        return true;
    case K::Line:
        put(QChar::LineSeparator);
        return true;
    case K::Cell:
    case K::Tab:
        put(u'\t');
        return true;
    case K::EmDash:
        put(u'\u2014');
        return true;
    case K::EnDash:
        put(u'\u2013');
        return true;
    case K::EmSpace:
        put(u'\u2003');
        return true;
    case K::EnSpace:
        put(u'\u2002');
        return true;
    case K::QmSpace:
        put(u'\u2005');
        return true;
    case K::Bullet:
        put(u'\u2022');
        return true;
    case K::LeftQuote:
        put(u'\u2018');
        return true;
    case K::RightQuote:
        put(u'\u2019');
        return true;
    case K::LeftDoubleQuote:
        put(u'\u201C');
        return true;
    case K::RightDoubleQuote:
        put(u'\u201D');
        return true;
    case K::Zwj:
        put(u'\u200D');
        return true;
    case K::Zwnj:
        put(u'\u200C');
        return true;
    case K::LtrMark:
        put(u'\u200E');
        return true;
    case K::RtlMark:
        put(u'\u200F');
        return true;
    case K::UnicodeChar: {
        // Values above 32767 are written as negative 16-bit numbers.
        const qint64 value = token.param < 0 ? qint64(token.param) + 65536 : token.param;
        if (value >= 0 && value <= 0xFFFF)
            put(char16_t(value));
        else if (value > 0xFFFF && value <= 0x10FFFF)
            put(QStringView(QChar::fromUcs4(char32_t(value))));
        skipRemaining = s.unicodeSkip;
        return true;
    }
    case K::UnicodeSkip:
        s.unicodeSkip = token.hasParam ? std::clamp(token.param, 0, 1000) : 1;
        return true;
    default:
        return false;
    }
}

bool RtfBuilder::pictureWord(RtfKeyword keyword, const RtfToken& token)
{
    using K = RtfKeyword;
    if (top().dest != Dest::Picture)
        return false;
    const int param = token.param;
    switch (keyword) {
    case K::PngBlip:
        blip = Blip::Png;
        return true;
    case K::JpegBlip:
        blip = Blip::Jpeg;
        return true;
    case K::PictureWidthGoal:
        pictureGoalWidth = std::clamp(param, 0, maxTwips);
        return true;
    case K::PictureHeightGoal:
        pictureGoalHeight = std::clamp(param, 0, maxTwips);
        return true;
    case K::PictureScaleX:
        pictureScaleX = param > 0 ? std::min(param, 1000) : 100;
        return true;
    case K::PictureScaleY:
        pictureScaleY = param > 0 ? std::min(param, 1000) : 100;
        return true;
    default:
        return false;
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
    const ListPlace place = listPlace(para);
    const QTextBlock block = cursor.block();
    QTextList* previous = block.textList();
    if (previous && previous != place.list)
        previous->remove(block);

    const int listIndent =
        place.list ? place.list->format().indent() : (place.inList() ? place.format.indent() : 0);
    QTextBlockFormat format = blockFormat(para, listIndent);
    if (pageBreakBefore) {
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        pageBreakBefore = false;
    }
    cursor.setBlockFormat(format);

    if (place.list) {
        if (place.list != previous) {
            place.list->add(cursor.block());
            ++listItems[place.list];
        }
    } else if (place.inList()) {
        QTextList* list = cursor.createList(place.format);
        listItems.insert(list, 1);
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
        if (QTextList* list = documentLists.value(place.key)) {
            if (listItems.value(list) < maxListItems)
                place.list = list;
            else
                place.format = list->format();
            return place;
        }
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
            if (listItems.value(it->list) < maxListItems)
                place.list = it->list;
            else
                place.format = it->list->format();
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

RtfBuilder::CharProps RtfBuilder::plainChar() const
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

QTextBlockFormat RtfBuilder::blockFormat(const ParaProps& para, int listIndent)
{
    if (haveCachedBlock && listIndent == cachedListIndent && para == cachedParaProps)
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
    if (listIndent == 0) {
        const int left = std::max(0, para.leftIndent);
        const int first = std::max(-left, para.firstIndent);
        if (left != 0)
            format.setLeftMargin(left / twipsPerPixel);
        if (first != 0)
            format.setTextIndent(first / twipsPerPixel);
    } else {
        // A list's own indent places its items and their numbers: only a left indent beyond it
        // is the paragraph's own, and the first-line indent belongs to the number.
        const double listTwips = listIndent * cursor.document()->indentWidth() * twipsPerPixel;
        const double left = para.leftIndent - listTwips;
        if (left > 0)
            format.setLeftMargin(left / twipsPerPixel);
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
            const QChar delimiter = stop.type == QTextOption::DelimiterTab ? QChar(u'.') : QChar();
            tabs.append(QTextOption::Tab(stop.position / twipsPerPixel, stop.type, delimiter));
        }
        format.setTabPositions(tabs);
    }
    haveCachedBlock = true;
    cachedListIndent = listIndent;
    cachedParaProps = para;
    cachedBlockFormat = format;
    return format;
}

void RtfBuilder::commitFont()
{
    if (fontHasNumber && (fonts.size() < maxFonts || fonts.contains(fontNumber))) {
        // Font names may carry a blank before the semicolon.
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
    if (colors.size() < maxColors)
        colors.push_back(colorHasValue ? std::optional(QColor(red, green, blue)) : std::nullopt);
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

// Paragraphs compare their numbering texts by index, so equal texts share one.
int RtfBuilder::addListText(const QString& text)
{
    if (const auto it = listTextIndex.constFind(text); it != listTextIndex.cend())
        return *it;
    listTexts.append(text);
    const int index = int(listTexts.size() - 1);
    listTextIndex.insert(text, index);
    return index;
}

void RtfBuilder::insertPicture()
{
    if (blip == Blip::None || pictureData.isEmpty())
        return;
    // What is not a whole PNG is left alone: libpng would complain on the standard error.
    if (blip == Blip::Png && (!pictureData.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8)) ||
                              !pictureData.contains("IEND")))
        return;
    QBuffer buffer(&pictureData);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, blip == Blip::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (!size.isValid() || pixels > pixelBudget)
        return;
    const QImage image = reader.read();
    if (image.isNull())
        return;
    pixelBudget -= pixels;

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

} // namespace lw
