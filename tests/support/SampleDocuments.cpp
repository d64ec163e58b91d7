#include "SampleDocuments.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

QImage gradientPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 255 / width, y * 255 / height, 90, 255));
    return image;
}

namespace {

Build html(const QString& text)
{
    return [text](QTextDocument& doc) {
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("pic")),
                        gradientPicture(8, 6));
        doc.setHtml(text);
    };
}

QTextCharFormat charFormat(const std::function<void(QTextCharFormat&)>& set)
{
    QTextCharFormat format;
    set(format);
    return format;
}

} // namespace

// The letter of the manual: what a person makes with the toolbar.
void buildLetter(QTextDocument& doc)
{
    QTextCursor cursor(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(16);
    cursor.insertText(QStringLiteral("Order confirmation"), bold);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(QStringLiteral("Dear Mr Müller, thank you for your "));
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    red.setFontItalic(true);
    cursor.insertText(QStringLiteral("order"), red);
    cursor.insertText(QStringLiteral(" of 12 € and "), QTextCharFormat());
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.com/shop"));
    link.setFontUnderline(true);
    cursor.insertText(QStringLiteral("our site"), link);
    cursor.insertText(QStringLiteral(":"), QTextCharFormat());
    cursor.insertBlock();
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    bullets.setIndent(1);
    cursor.createList(bullets);
    cursor.insertText(QStringLiteral("apples"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("pears"));
    cursor.insertBlock(QTextBlockFormat());
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    numbers.setIndent(1);
    cursor.createList(numbers);
    cursor.insertText(QStringLiteral("first"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("second"));
    cursor.insertBlock(QTextBlockFormat());
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("logo")),
                    gradientPicture(40, 20));
    QTextImageFormat logo;
    logo.setName(QStringLiteral("logo"));
    cursor.insertImage(logo);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("Yours sincerely, Ана"));
}

QList<SampleDocument> sampleDocuments()
{
    QList<SampleDocument> samples;
    samples.push_back({"nominal: the letter", Build(buildLetter)});
    samples.push_back({"nominal: character styles",
                       html(u"<p><b>bold</b> <i>italic</i> <u>under</u> <s>struck</s> "
                            u"<span style='font-variant:small-caps'>small</span> "
                            u"<span style='text-transform:uppercase'>caps</span> x<sup>2</sup> "
                            u"H<sub>2</sub>O</p>"_qs)});
    samples.push_back(
        {"nominal: fonts, sizes and colours",
         html(u"<p><span style='font-family:Liberation Serif; font-size:14pt'>serif</span> "
              u"<span style='font-size:7.5pt'>small</span> "
              u"<span style='color:#123456'>blue</span> "
              u"<span style='background-color:#ffff00'>marked</span></p>"_qs)});
    samples.push_back({"nominal: underline kinds", Build([](QTextDocument& doc) {
                           QTextCursor cursor(&doc);
                           for (const auto style :
                                {QTextCharFormat::SingleUnderline, QTextCharFormat::DashUnderline,
                                 QTextCharFormat::DotLine, QTextCharFormat::DashDotLine,
                                 QTextCharFormat::DashDotDotLine, QTextCharFormat::WaveUnderline}) {
                               cursor.insertText(QStringLiteral("line "),
                                                 charFormat([style](QTextCharFormat& f) {
                                                     f.setUnderlineStyle(style);
                                                 }));
                               cursor.insertText(QStringLiteral("-"), QTextCharFormat());
                           }
                       })});
    samples.push_back(
        {"nominal: alignment, indents and spacing",
         html(u"<p align=center>centre</p><p align=right>right</p>"
              u"<p align=justify style='margin-left:48px; margin-right:24px; text-indent:-16px'>"
              u"justified</p><p style='margin-top:12px; margin-bottom:8px'>spaced</p>"_qs)});
    samples.push_back({"nominal: line heights", Build([](QTextDocument& doc) {
                           QTextCursor cursor(&doc);
                           QTextBlockFormat format;
                           format.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
                           cursor.setBlockFormat(format);
                           cursor.insertText(QStringLiteral("one and a half"));
                           format.setLineHeight(20, QTextBlockFormat::MinimumHeight);
                           cursor.insertBlock(format);
                           cursor.insertText(QStringLiteral("at least"));
                           format.setLineHeight(30, QTextBlockFormat::FixedHeight);
                           cursor.insertBlock(format);
                           cursor.insertText(QStringLiteral("exactly"));
                       })});
    samples.push_back({"nominal: tab stops", Build([](QTextDocument& doc) {
                           QTextCursor cursor(&doc);
                           QTextBlockFormat format;
                           format.setTabPositions(
                               {QTextOption::Tab(40, QTextOption::LeftTab),
                                QTextOption::Tab(120, QTextOption::RightTab),
                                QTextOption::Tab(200, QTextOption::CenterTab),
                                QTextOption::Tab(300, QTextOption::DelimiterTab, u'.')});
                           cursor.setBlockFormat(format);
                           cursor.insertText(QStringLiteral("a\tb\tc\td"));
                       })});
    samples.push_back(
        {"nominal: bullets of each kind",
         html(u"<ul style='list-style-type:disc'><li>disc</li></ul>"
              u"<ul style='list-style-type:circle'><li>circle</li></ul>"
              u"<ul style='list-style-type:square'><li>square</li><li>two</li></ul>"_qs)});
    samples.push_back(
        {"nominal: numbers of each kind",
         html(u"<ol type=1><li>a</li><li>b</li></ol><ol type=a><li>c</li></ol>"
              u"<ol type=A><li>d</li></ol><ol type=i><li>e</li><li>f</li><li>g</li></ol>"
              u"<ol type=I><li>h</li></ol>"_qs)});
    samples.push_back({"nominal: number prefix and suffix", Build([](QTextDocument& doc) {
                           QTextCursor cursor(&doc);
                           QTextListFormat format;
                           format.setStyle(QTextListFormat::ListDecimal);
                           format.setNumberPrefix(QStringLiteral("("));
                           format.setNumberSuffix(QStringLiteral(")"));
                           cursor.createList(format);
                           cursor.insertText(QStringLiteral("first"));
                           cursor.insertBlock();
                           cursor.insertText(QStringLiteral("second"));
                       })});
    samples.push_back({"nominal: two lists in a row keep their own numbers",
                       html(u"<ol><li>a</li><li>b</li></ol><p>between</p><ol><li>c</li></ol>"
                            u"<ol><li>d</li></ol>"_qs)});
    samples.push_back(
        {"nominal: nested levels",
         html(u"<ul><li>outer<ul><li>inner<ol><li>deepest</li></ol></li></ul></li></ul>"_qs)});
    samples.push_back({"nominal: a list item indented further", Build([](QTextDocument& doc) {
                           QTextCursor cursor(&doc);
                           QTextBlockFormat indented;
                           indented.setLeftMargin(737 / 15.0);
                           cursor.setBlockFormat(indented);
                           cursor.createList(QTextListFormat::ListDisc);
                           cursor.insertText(QStringLiteral("indented item"));
                       })});
    samples.push_back(
        {"nominal: pictures at their size and scaled",
         html(u"<p><img src=pic> <img src=pic width=32 height=24> <img src=pic width=16>"
              u"<img src=pic><img src=pic></p>"_qs)});
    samples.push_back({"nominal: line and page breaks", Build([](QTextDocument& doc) {
                           QTextCursor cursor(&doc);
                           cursor.insertText(QStringLiteral("line one\u2028line two"));
                           QTextBlockFormat breakBefore;
                           breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                           cursor.insertBlock(breakBefore);
                           cursor.insertText(QStringLiteral("new page"));
                       })});
    samples.push_back({"nominal: characters beyond Windows-1252",
                       html(u"<p>Привет, Ελλάδα, 日本, 😀, “quotes” – € … ™ œ Ÿ ÿ é</p>"_qs)});
    samples.push_back({"nominal: special spaces and hyphens",
                       html(u"<p>a\u00A0b soft\u00ADhyphen non\u2011breaking \u2003em</p>"_qs)});
    samples.push_back({"nominal: hyperlinks",
                       html(u"<p><a href='https://example.com/a?b=1&amp;c=2'>link</a> text "
                            u"<a href='mailto:x@example.com'><b>bold</b> link</a></p>"_qs)});
    samples.push_back({"nominal: empty paragraphs keep their height",
                       html(u"<p>a</p><p style='font-size:24pt'></p><p>b</p><p></p>"_qs), true});
    samples.push_back({"robustness: braces, backslashes and RTF words as text",
                       html(u"<p>{\\rtf1 \\par} \\\\ {{ }} \\u8364? \\'e9</p>"_qs)});
    samples.push_back({"robustness: tabs and blanks at paragraph edges",
                       html(u"<pre>\tindented  two blanks \n  lead</pre>"_qs)});
    samples.push_back({"robustness: numbers at the start of text after a word",
                       html(u"<p><b>1</b>2<i>-3</i> 4</p>"_qs)});
    samples.push_back({"robustness: link target with a backslash and a quotation mark",
                       Build([](QTextDocument& doc) {
                           QTextCursor cursor(&doc);
                           QTextCharFormat link;
                           link.setAnchor(true);
                           link.setAnchorHref(QStringLiteral("file:///C:\\letters\\a.txt"));
                           cursor.insertText(QStringLiteral("letter"), link);
                       })});
    return samples;
}
