#pragma once

#include "rtf/RtfKeywords.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextList>
#include <QTextOption>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QTextCursor;

namespace lw {

class RtfCodePage;
struct RtfToken;

// Builds a QTextDocument's content from RTF at a cursor, as one edit block. Used by readRtf().
class RtfBuilder
{
public:
    explicit RtfBuilder(QTextCursor& cursor);
    ~RtfBuilder();
    RtfBuilder(const RtfBuilder&) = delete;
    RtfBuilder& operator=(const RtfBuilder&) = delete;

    // rtf holds one byte a unit; units above 0xFF are characters that stand for themselves.
    // `progress`, when given, is told now and then how many units have been read; when it
    // returns false the read stops there, the edit block is closed and this returns false.
    bool read(QStringView rtf, const std::function<bool(qint64 done)>& progress = {});

private:
    static constexpr int maxTabStops = 32;
    static constexpr int listLevels = 9;

    enum class Underline : quint8 { None, Single, Dotted, Dash, DashDot, DashDotDot, Wave };
    enum class Vertical : quint8 { Normal, Super, Sub };
    enum class Caps : quint8 { Normal, All, Small };
    enum class Align : quint8 { Left, Right, Center, Justify };
    enum class PnKind : quint8 { None, Bullet, Numbered, Continue };
    enum class Blip : quint8 { None, Png, Jpeg };

    // Where the text of a group goes.
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

    struct CharProps
    {
        int font = -1;
        int halfPoints = 0; // 0: no size given, the editor's size applies
        int color = 0;      // colour table index; 0 and unknown indexes are the automatic colour
        int background = 0;
        int href = -1; // index into hrefs
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
        int pnBefore = -1; // index into listTexts
        int pnAfter = -1;
        QTextOption::TabType nextTabType = QTextOption::LeftTab;
        int tabCount = 0;
        std::array<TabStop, maxTabStops> tabs{};

        bool operator==(const ParaProps&) const = default;
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

    struct PnList
    {
        QTextList* list;
        ParaProps numbering;
    };

    State& top() { return stack.back(); }

    void groupStart();
    void groupEnd();
    void controlWord(const RtfToken& token);
    bool destinationWord(RtfKeyword keyword);
    bool documentWord(RtfKeyword keyword, const RtfToken& token);
    bool characterWord(RtfKeyword keyword, const RtfToken& token);
    bool paragraphWord(RtfKeyword keyword, const RtfToken& token);
    bool listWord(RtfKeyword keyword, const RtfToken& token);
    bool textWord(RtfKeyword keyword, const RtfToken& token);
    bool pictureWord(RtfKeyword keyword, const RtfToken& token);
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
    ListPlace listPlace(const ParaProps& para);
    void finish();
    void restoreOriginalParagraph();

    int codePageNumber();
    const RtfCodePage& codePage(int number);
    CharProps plainChar() const;
    std::optional<QColor> color(int index) const;
    QTextCharFormat charFormat(const CharProps& props);
    // listIndent: the indent of the paragraph's list, 0 outside lists.
    QTextBlockFormat blockFormat(const ParaProps& para, int listIndent);

    void commitFont();
    void commitColor();
    void commitStyle(const State& closed);
    void commitLevelText();
    int addListText(const QString& text);
    void insertPicture();

    QTextCursor& cursor;
    std::vector<State> stack;
    int overflow = 0;      // groups open beyond the depth bound
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
    int cachedListIndent = 0;
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
    QHash<int, PnList> pnLists;              // by level, while \pn paragraphs follow each other
    QHash<QTextList*, int> listItems;
    QStringList listTexts;
    QHash<QString, int> listTextIndex;
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
    qint64 pixelBudget;
};

} // namespace lw
