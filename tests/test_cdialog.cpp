#include "FakeServices.h"
#include "platform/FontDialog.h"
#include "platform/QtServices.h"
#include "utilities/cDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

using namespace lw;
using lw::test::FakePlatform;

namespace {

enum class Show { Open, Save, Font, Color, PageSetup, Printer };

const QChar Nul(u'\0');
const QString TextFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
const QString PictureFilter = QStringLiteral(
    "Bitmaps (*.bmp;*.dib)|*.bmp;*.dib|GIF Images (*.gif)|*.gif|JPEG Images (*.jpg)|*.jpg|");
const QString NoPrinterText = QStringLiteral(
    "Error: no printer detected!  Please make sure your printer is properly installed first.  "
    "If you are using a network printer, please check your network connection.");

// A confirmed dialog's file buffer: the pieces separated by NULs, then NULs up to its room.
QString fileBuffer(const QStringList& pieces)
{
    QString buffer = pieces.join(Nul);
    buffer.resize(cDialog::PathCapacity + 1, Nul);
    return buffer;
}

// An absolute path of exactly `length` characters.
QString pathOfLength(int length)
{
    return QStringLiteral("/") + QString(length - 1, u'a');
}

// The patterns QFileDialog reads from a name filter: the last parenthesised group.
QStringList patternsOf(const QString& nameFilter)
{
    static const QRegularExpression form(
        QStringLiteral("^(.*)\\(([a-zA-Z0-9_.,*? +;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]*)\\)$"));
    const QRegularExpressionMatch match = form.match(nameFilter);
    return match.hasMatch() ? match.captured(2).split(u' ', Qt::SkipEmptyParts) : QStringList();
}

void scriptCancel(FakePlatform& platform, Show show)
{
    switch (show) {
    case Show::Open:
        platform.dialogs.openAnswers.push_back(std::nullopt);
        break;
    case Show::Save:
        platform.dialogs.saveAnswers.push_back(std::nullopt);
        break;
    case Show::Font:
        platform.dialogs.fontAnswers.push_back(std::nullopt);
        break;
    case Show::Color:
        platform.dialogs.colorAnswers.push_back(std::nullopt);
        break;
    case Show::PageSetup:
        platform.dialogs.pageSetupAnswers.push_back(nullptr);
        break;
    case Show::Printer:
        platform.dialogs.printerAnswers.push_back(nullptr);
        break;
    }
}

void run(cDialog& dialog, Show show)
{
    switch (show) {
    case Show::Open:
        dialog.ShowOpen();
        break;
    case Show::Save:
        dialog.ShowSave();
        break;
    case Show::Font:
        dialog.ShowFont();
        break;
    case Show::Color:
        QVERIFY(!dialog.ShowColor().has_value());
        break;
    case Show::PageSetup:
        dialog.ShowPageSetup();
        break;
    case Show::Printer:
        dialog.ShowPrinter();
        break;
    }
}

FontChoice font(const QString& family, double pointSize, int weight = 400, bool italic = false)
{
    FontChoice choice;
    choice.family = family;
    choice.pointSize = pointSize;
    choice.weight = weight;
    choice.italic = italic;
    return choice;
}

} // namespace

Q_DECLARE_METATYPE(Show)

class CDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void initialState();
    void propertiesKeepTheirValues();

    void convertFilter_data();
    void convertFilter();
    void nameFilters_data();
    void nameFilters();
    void nameFilterMatches_data();
    void nameFilterMatches();
    void nameFiltersShowTheirDescription();

    void parseFileList_data();
    void parseFileList();
    void parseFileListWithoutEndMark();

    void showOpenRequest();
    void showOpenFiles_data();
    void showOpenFiles();
    void showSaveRequest();
    void showSaveChosenType_data();
    void showSaveChosenType();
    void defaultExtensionOfType_data();
    void defaultExtensionOfType();
    void defaultFilenameRoom_data();
    void defaultFilenameRoom();
    void chosenPathRoom_data();
    void chosenPathRoom();

    void cancel_data();
    void cancel();

    void fontSize_data();
    void fontSize();
    void fontBold_data();
    void fontBold();
    void fontSequence();
    void fontTakesTheChoice();
    void fontFaceRoom_data();
    void fontFaceRoom();
    void fontColour_data();
    void fontColour();
    void fontDialogRefusesSizesOutsideItsLimits_data();
    void fontDialogRefusesSizesOutsideItsLimits();
    void fontDialogShowsItsLimits();

    void showColor_data();
    void showColor();
    void showPageSetup();

    void missingPrinter();
    void printerPreset();
    void printerChoiceApplied();
    void printerName_data();
    void printerName();
};

void CDialogTest::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Letterwright"));
}

void CDialogTest::initialState()
{
    const cDialog dialog;
    QVERIFY(!dialog.cFileName.exists());
    QVERIFY(!dialog.cFileTitle.exists());
    QVERIFY_THROWS_EXCEPTION(MissingFileItem, dialog.cFileName.Item(1));
    QVERIFY_THROWS_EXCEPTION(MissingFileItem, dialog.cFileTitle.Item(1));
    QCOMPARE(dialog.ParentHwnd, nullptr);
    QCOMPARE(dialog.CancelError(), false);
    QCOMPARE(dialog.MultiSelect(), false);
    QCOMPARE(dialog.DefaultFilename(), QString());
    QCOMPARE(dialog.DialogTitle(), QString());
    QCOMPARE(dialog.InitialDir(), QString());
    QCOMPARE(dialog.Filter(), QString());
    QCOMPARE(dialog.FilterIndex(), qint16(1));
    QCOMPARE(dialog.FontName(), QStringLiteral("Arial"));
    QCOMPARE(dialog.FontSize(), qint16(10));
    QCOMPARE(dialog.FontColor(), quint32(0));
    QCOMPARE(dialog.FontBold(), false);
    QCOMPARE(dialog.FontItalic(), false);
    QCOMPARE(dialog.FontUnderline(), false);
    QCOMPARE(dialog.FontStrikeThru(), false);
}

void CDialogTest::propertiesKeepTheirValues()
{
    FakePlatform platform;
    QWidget owner;
    cDialog dialog;
    dialog.ParentHwnd = &owner;
    dialog.setCancelError(true);
    dialog.setMultiSelect(true);
    dialog.setDefaultFilename(QStringLiteral("letter.txt"));
    dialog.setDialogTitle(QStringLiteral("Select a file to open"));
    dialog.setInitialDir(QStringLiteral("/home/ann"));
    dialog.setFilter(TextFilter);
    dialog.setFilterIndex(2);
    dialog.setFontName(QStringLiteral("Verdana"));
    dialog.setFontSize(14);
    dialog.setFontColor(0x00FF0000);
    dialog.setFontBold(true);
    dialog.setFontItalic(true);
    dialog.setFontUnderline(true);
    dialog.setFontStrikeThru(true);

    platform.dialogs.openAnswers.push_back(QStringList{QStringLiteral("/home/ann/a.txt")});
    platform.dialogs.saveAnswers.push_back(QStringLiteral("/home/ann/b.txt"));
    platform.dialogs.colorAnswers.push_back(QColor(Qt::green));
    platform.dialogs.pageSetupAnswers.push_back([](QPrinter&) {});
    platform.dialogs.printerAnswers.push_back([](PrinterSettings&) {});
    dialog.ShowOpen();
    dialog.ShowSave();
    QCOMPARE(dialog.ShowColor(), std::optional<quint32>(0x0000FF00));
    dialog.ShowPageSetup();
    dialog.ShowPrinter();

    QCOMPARE(dialog.ParentHwnd, &owner);
    QCOMPARE(dialog.CancelError(), true);
    QCOMPARE(dialog.MultiSelect(), true);
    QCOMPARE(dialog.DefaultFilename(), QStringLiteral("letter.txt"));
    QCOMPARE(dialog.DialogTitle(), QStringLiteral("Select a file to open"));
    QCOMPARE(dialog.InitialDir(), QStringLiteral("/home/ann"));
    QCOMPARE(dialog.Filter(), TextFilter);
    QCOMPARE(dialog.FilterIndex(), qint16(2));
    QCOMPARE(dialog.FontName(), QStringLiteral("Verdana"));
    QCOMPARE(dialog.FontSize(), qint16(14));
    QCOMPARE(dialog.FontColor(), quint32(0x00FF0000));
    QCOMPARE(dialog.FontBold(), true);
    QCOMPARE(dialog.FontItalic(), true);
    QCOMPARE(dialog.FontUnderline(), true);
    QCOMPARE(dialog.FontStrikeThru(), true);
    QCOMPARE(dialog.cFileName.items(), QStringList{QStringLiteral("/home/ann/b.txt")});
}

void CDialogTest::convertFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("converted");
    QTest::newRow("nominal: pairs with a trailing bar")
        << TextFilter
        << QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("*.txt"),
                       QStringLiteral("All Files (*.*)"), QStringLiteral("*.*"), QString()}
               .join(Nul);
    QTest::newRow("nominal: one pair without a trailing bar")
        << QStringLiteral("All Files (*.*)|*.*")
        << QStringLiteral("All Files (*.*)") + Nul + QStringLiteral("*.*");
    QTest::newRow("edge: empty") << QString() << QString();
    QTest::newRow("edge: no bar") << QStringLiteral("*.txt") << QStringLiteral("*.txt");
    QTest::newRow("edge: bars only") << QStringLiteral("||") << QString(2, Nul);
}

void CDialogTest::convertFilter()
{
    QFETCH(QString, text);
    QFETCH(QString, converted);
    QCOMPARE(cDialog::ConvertFilter(text), converted);
    QCOMPARE(cDialog::ConvertFilter(text).size(), text.size());
}

void CDialogTest::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    const QStringList text{QStringLiteral("Text Files (*.txt) (*.txt)"),
                           QStringLiteral("All Files (*.*) (*)")};
    QTest::newRow("nominal: text and all files") << TextFilter << text;
    QTest::newRow("nominal: without the trailing bar, the same entries")
        << QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*") << text;
    QTest::newRow("nominal: several patterns in one pair")
        << PictureFilter
        << QStringList{QStringLiteral("Bitmaps (*.bmp;*.dib) (*.bmp *.dib)"),
                       QStringLiteral("GIF Images (*.gif) (*.gif)"),
                       QStringLiteral("JPEG Images (*.jpg) (*.jpg)")};
    QTest::newRow("edge: no filter") << QString() << QStringList();
    QTest::newRow("edge: a description without patterns is dropped")
        << QStringLiteral("Text|*.txt|Other") << QStringList{QStringLiteral("Text (*.txt)")};
    QTest::newRow("edge: an empty entry ends the list")
        << QStringLiteral("Text|*.txt||All|*.*|") << QStringList{QStringLiteral("Text (*.txt)")};
}

void CDialogTest::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(lw::nameFilters(filter), expected);
}

void CDialogTest::nameFilterMatches_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("matches");
    QTest::newRow("nominal: all files take a name without extension")
        << TextFilter << 1 << QStringLiteral("README") << true;
    QTest::newRow("nominal: all files take a name with extension")
        << TextFilter << 1 << QStringLiteral("letter.rtf") << true;
    QTest::newRow("nominal: text files take .txt")
        << TextFilter << 0 << QStringLiteral("letter.txt") << true;
    QTest::newRow("nominal: text files leave out other files")
        << TextFilter << 0 << QStringLiteral("README") << false;
    QTest::newRow("nominal: the second pattern of a pair counts")
        << PictureFilter << 0 << QStringLiteral("logo.dib") << true;
}

void CDialogTest::nameFilterMatches()
{
    QFETCH(QString, filter);
    QFETCH(int, entry);
    QFETCH(QString, file);
    QFETCH(bool, matches);
    const QStringList filters = lw::nameFilters(filter);
    QVERIFY(entry < filters.size());
    QCOMPARE(QDir::match(patternsOf(filters.at(entry)), file), matches);
}

void CDialogTest::nameFiltersShowTheirDescription()
{
    // As the Qt file dialog lists them, with its details hidden the way the dialog service asks.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(lw::nameFilters(TextFilter));
    const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->itemText(0), QStringLiteral("Text Files (*.txt)"));
    QCOMPARE(types->itemText(1), QStringLiteral("All Files (*.*)"));
}

void CDialogTest::parseFileList_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("nominal: one file") << QStringList{QStringLiteral("/home/ann/letter.txt")}
                                       << QStringList{QStringLiteral("/home/ann/letter.txt")}
                                       << QStringList{QStringLiteral("letter.txt")};
    QTest::newRow("nominal: three files in one folder, in the dialog's order")
        << QStringList{QStringLiteral("/home/ann"), QStringLiteral("c.txt"),
                       QStringLiteral("a.txt"), QStringLiteral("b.txt")}
        << QStringList{QStringLiteral("/home/ann/c.txt"), QStringLiteral("/home/ann/a.txt"),
                       QStringLiteral("/home/ann/b.txt")}
        << QStringList{QStringLiteral("c.txt"), QStringLiteral("a.txt"), QStringLiteral("b.txt")};
    QTest::newRow("edge: the root folder is not followed by a second separator")
        << QStringList{QStringLiteral("/"), QStringLiteral("a.txt"), QStringLiteral("b.txt")}
        << QStringList{QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}
        << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")};
    QTest::newRow("edge: a drive root is not followed by a second separator")
        << QStringList{QStringLiteral("C:/"), QStringLiteral("a.txt"), QStringLiteral("b.txt")}
        << QStringList{QStringLiteral("C:/a.txt"), QStringLiteral("C:/b.txt")}
        << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")};
    QTest::newRow("edge: a name without folder is its own title")
        << QStringList{QStringLiteral("letter.txt")} << QStringList{QStringLiteral("letter.txt")}
        << QStringList{QStringLiteral("letter.txt")};
    QTest::newRow("robustness: what follows the pair of NULs is not read")
        << QStringList{QStringLiteral("/d/new.txt"), QString(), QStringLiteral("/d/old.txt")}
        << QStringList{QStringLiteral("/d/new.txt")} << QStringList{QStringLiteral("new.txt")};
}

void CDialogTest::parseFileList()
{
    QFETCH(QStringList, pieces);
    QFETCH(QStringList, names);
    QFETCH(QStringList, titles);
    cDialog dialog;
    dialog.ParseFileList(fileBuffer(pieces));
    QCOMPARE(dialog.cFileName.items(), names);
    QCOMPARE(dialog.cFileTitle.items(), titles);
    QCOMPARE(dialog.cFileName.Item(1), names.first());
    QCOMPARE(dialog.cFileTitle.Item(1), titles.first());
    QVERIFY_THROWS_EXCEPTION(MissingFileItem, dialog.cFileName.Item(names.size() + 1));
    QVERIFY_THROWS_EXCEPTION(MissingFileItem, dialog.cFileName.Item(0));
}

void CDialogTest::parseFileListWithoutEndMark()
{
    cDialog dialog;
    dialog.cFileName = FileList({QStringLiteral("/before.txt")});
    const QString full = pathOfLength(cDialog::PathCapacity) + Nul;
    QVERIFY_THROWS_EXCEPTION(std::length_error, dialog.ParseFileList(full));
    QVERIFY(dialog.cFileName.exists());
    QCOMPARE(dialog.cFileName.Count(), 0);
    QCOMPARE(dialog.cFileTitle.Count(), 0);
    QVERIFY_THROWS_EXCEPTION(MissingFileItem, dialog.cFileName.Item(1));
}

void CDialogTest::showOpenRequest()
{
    FakePlatform platform;
    QWidget owner;
    cDialog dialog;
    dialog.ParentHwnd = &owner;
    dialog.setDialogTitle(QStringLiteral("Select a file to open"));
    dialog.setFilter(TextFilter);
    dialog.setFilterIndex(2);
    dialog.setInitialDir(QStringLiteral("/home/ann"));
    dialog.setDefaultFilename(QStringLiteral("letter.txt"));
    platform.dialogs.openAnswers.push_back(QStringList{QStringLiteral("/home/ann/letter.txt")});

    dialog.ShowOpen();

    QCOMPARE(platform.dialogs.openRequests.size(), 1);
    const FileDialogRequest& request = platform.dialogs.openRequests.first();
    QCOMPARE(request.parent, &owner);
    QCOMPARE(request.title, QStringLiteral("Select a file to open"));
    QCOMPARE(request.initialDir, QStringLiteral("/home/ann"));
    QCOMPARE(request.defaultFilename, QStringLiteral("letter.txt"));
    QCOMPARE(request.nameFilters, lw::nameFilters(TextFilter));
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.multiSelect, false);
    QCOMPARE(dialog.cFileName.items(), QStringList{QStringLiteral("/home/ann/letter.txt")});
    QCOMPARE(dialog.cFileTitle.items(), QStringList{QStringLiteral("letter.txt")});
    QCOMPARE(dialog.FilterIndex(), qint16(2));
}

void CDialogTest::showOpenFiles_data()
{
    QTest::addColumn<bool>("multiSelect");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("nominal: three files in one folder")
        << true
        << QStringList{QStringLiteral("/home/ann/a.txt"), QStringLiteral("/home/ann/b.txt"),
                       QStringLiteral("/home/ann/c.txt")}
        << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")};
    QTest::newRow("nominal: MultiSelect with one file")
        << true << QStringList{QStringLiteral("/home/ann/a.txt")}
        << QStringList{QStringLiteral("a.txt")};
    QTest::newRow("edge: several files in the root folder")
        << true << QStringList{QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}
        << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")};
    QTest::newRow("edge: a file without extension")
        << false << QStringList{QStringLiteral("/home/ann/README")}
        << QStringList{QStringLiteral("README")};
}

void CDialogTest::showOpenFiles()
{
    QFETCH(bool, multiSelect);
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, titles);
    FakePlatform platform;
    cDialog dialog;
    dialog.setMultiSelect(multiSelect);
    platform.dialogs.openAnswers.push_back(chosen);
    dialog.ShowOpen();
    QCOMPARE(platform.dialogs.openRequests.first().multiSelect, multiSelect);
    QCOMPARE(dialog.cFileName.items(), chosen);
    QCOMPARE(dialog.cFileTitle.items(), titles);
}

void CDialogTest::showSaveRequest()
{
    FakePlatform platform;
    QWidget owner;
    cDialog dialog;
    dialog.ParentHwnd = &owner;
    dialog.setMultiSelect(true);
    dialog.setDialogTitle(QStringLiteral("Save As"));
    dialog.setFilter(TextFilter);
    dialog.setDefaultFilename(QStringLiteral("letter"));
    platform.dialogs.saveAnswers.push_back(QStringLiteral("/home/ann/letter"));

    dialog.ShowSave();

    QCOMPARE(platform.dialogs.saveRequests.size(), 1);
    const FileDialogRequest& request = platform.dialogs.saveRequests.first();
    QCOMPARE(request.parent, nullptr);
    QCOMPARE(request.multiSelect, false);
    QCOMPARE(request.title, QStringLiteral("Save As"));
    QCOMPARE(request.defaultFilename, QStringLiteral("letter"));
    QCOMPARE(request.nameFilters, lw::nameFilters(TextFilter));
    QCOMPARE(request.filterIndex, 0);
    QCOMPARE(dialog.cFileName.items(), QStringList{QStringLiteral("/home/ann/letter")});
    QCOMPARE(dialog.cFileTitle.items(), QStringList{QStringLiteral("letter")});
}

void CDialogTest::showSaveChosenType_data()
{
    QTest::addColumn<int>("chosen"); // 0-based; -1: the user kept the preset type
    QTest::addColumn<int>("expected");
    QTest::newRow("nominal: preset type kept") << -1 << 2;
    QTest::newRow("nominal: another type chosen") << 0 << 1;
}

// The type the user chose is reported apart: FilterIndex keeps what the caller set.
void CDialogTest::showSaveChosenType()
{
    QFETCH(int, chosen);
    QFETCH(int, expected);
    FakePlatform platform;
    cDialog dialog;
    dialog.setFilter(TextFilter);
    dialog.setFilterIndex(2);
    platform.dialogs.saveAnswers.push_back(QStringLiteral("/home/ann/letter"));
    if (chosen >= 0)
        platform.dialogs.saveFilterAnswers.push_back(chosen);
    dialog.ShowSave();
    QCOMPARE(dialog.chosenFilterIndex(), expected);
    QCOMPARE(dialog.FilterIndex(), 2);
}

void CDialogTest::defaultExtensionOfType_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("extension");
    QTest::newRow("nominal: text files") << TextFilter << 1 << "txt";
    QTest::newRow("nominal: every file adds nothing") << TextFilter << 2 << "";
    QTest::newRow("nominal: the first of several patterns")
        << "Bitmaps (*.bmp;*.dib)|*.bmp;*.dib|" << 1 << "bmp";
    QTest::newRow("robustness: an index past the list") << TextFilter << 3 << "";
    QTest::newRow("robustness: index 0") << TextFilter << 0 << "";
    QTest::newRow("robustness: a pattern with a wildcard in its extension")
        << "Backups (*.b*)|*.b*|" << 1 << "";
}

void CDialogTest::defaultExtensionOfType()
{
    QFETCH(QString, filter);
    QFETCH(int, index);
    QFETCH(QString, extension);
    QCOMPARE(defaultExtension(filter, index), extension);
    // The desktop's save dialog gives a typed name the same extension.
    const QStringList qtFilters = lw::nameFilters(filter);
    if (index >= 1 && index <= qtFilters.size())
        QCOMPARE(QtDialogService::defaultSuffixOf(qtFilters.at(index - 1)), extension);
}

void CDialogTest::defaultFilenameRoom_data()
{
    QTest::addColumn<Show>("show");
    QTest::addColumn<bool>("multiSelect");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("fits");
    QTest::newRow("edge: open, 260 characters fit") << Show::Open << false << 260 << true;
    QTest::newRow("robustness: open, 261 characters") << Show::Open << false << 261 << false;
    QTest::newRow("edge: open with MultiSelect, 9999 characters fit")
        << Show::Open << true << 9999 << true;
    QTest::newRow("robustness: open with MultiSelect, 10000 characters")
        << Show::Open << true << 10000 << false;
    QTest::newRow("edge: save, 260 characters fit") << Show::Save << false << 260 << true;
    QTest::newRow("robustness: save has no room for MultiSelect")
        << Show::Save << true << 261 << false;
}

void CDialogTest::defaultFilenameRoom()
{
    QFETCH(Show, show);
    QFETCH(bool, multiSelect);
    QFETCH(int, length);
    QFETCH(bool, fits);
    FakePlatform platform;
    cDialog dialog;
    dialog.setMultiSelect(multiSelect);
    dialog.setDefaultFilename(pathOfLength(length));
    if (fits) {
        scriptCancel(platform, show);
        run(dialog, show);
    } else {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, run(dialog, show));
    }
    const int shown = platform.dialogs.openRequests.size() + platform.dialogs.saveRequests.size();
    QCOMPARE(shown, fits ? 1 : 0);
}

void CDialogTest::chosenPathRoom_data()
{
    QTest::addColumn<Show>("show");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("edge: open, 259 characters are returned")
        << Show::Open << 259 << true << "listed";
    QTest::newRow("robustness: open, 260 characters fill the buffer")
        << Show::Open << 260 << true << "full";
    QTest::newRow("robustness: open, 261 characters are refused as a cancel")
        << Show::Open << 261 << true << "refused";
    QTest::newRow("robustness: open refused, CancelError false")
        << Show::Open << 261 << false << "refused";
    QTest::newRow("edge: save, 259 characters are returned")
        << Show::Save << 259 << true << "listed";
    QTest::newRow("robustness: save, 260 characters fill the buffer")
        << Show::Save << 260 << false << "full";
    QTest::newRow("robustness: save, 261 characters are refused as a cancel")
        << Show::Save << 261 << true << "refused";
}

void CDialogTest::chosenPathRoom()
{
    QFETCH(Show, show);
    QFETCH(int, length);
    QFETCH(bool, cancelError);
    QFETCH(QString, outcome);
    FakePlatform platform;
    cDialog dialog;
    dialog.setCancelError(cancelError);
    const FileList before({QStringLiteral("/before.txt")});
    dialog.cFileName = before;
    const QString path = pathOfLength(length);
    if (show == Show::Open)
        platform.dialogs.openAnswers.push_back(QStringList{path});
    else
        platform.dialogs.saveAnswers.push_back(path);

    if (outcome == QLatin1String("listed")) {
        run(dialog, show);
        QCOMPARE(dialog.cFileName.items(), QStringList{path});
    } else if (outcome == QLatin1String("full")) {
        QVERIFY_THROWS_EXCEPTION(std::length_error, run(dialog, show));
        QCOMPARE(dialog.cFileName.Count(), 0);
    } else if (cancelError) {
        QVERIFY_THROWS_EXCEPTION(DialogCancelled, run(dialog, show));
        QCOMPARE(dialog.cFileName, before);
    } else {
        run(dialog, show);
        QCOMPARE(dialog.cFileName, before);
    }
}

void CDialogTest::cancel_data()
{
    QTest::addColumn<Show>("show");
    QTest::addColumn<bool>("cancelError");
    QTest::addColumn<bool>("throws");
    QTest::newRow("nominal: open, CancelError true fails") << Show::Open << true << true;
    QTest::newRow("nominal: open, CancelError false returns") << Show::Open << false << false;
    QTest::newRow("nominal: save, CancelError true fails") << Show::Save << true << true;
    QTest::newRow("nominal: save, CancelError false returns") << Show::Save << false << false;
    QTest::newRow("nominal: colour, CancelError true fails") << Show::Color << true << true;
    QTest::newRow("nominal: colour, CancelError false returns nothing")
        << Show::Color << false << false;
    QTest::newRow("nominal: page setup, CancelError true fails") << Show::PageSetup << true << true;
    QTest::newRow("nominal: page setup, CancelError false returns")
        << Show::PageSetup << false << false;
    QTest::newRow("edge: font, CancelError true still returns") << Show::Font << true << false;
    QTest::newRow("nominal: font, CancelError false returns") << Show::Font << false << false;
    QTest::newRow("edge: printer, CancelError true still returns")
        << Show::Printer << true << false;
    QTest::newRow("nominal: printer, CancelError false returns") << Show::Printer << false << false;
}

void CDialogTest::cancel()
{
    QFETCH(Show, show);
    QFETCH(bool, cancelError);
    QFETCH(bool, throws);
    FakePlatform platform;
    cDialog dialog;
    dialog.setCancelError(cancelError);
    dialog.setFontName(QStringLiteral("Verdana"));
    dialog.setFontBold(true);
    const FileList names({QStringLiteral("/home/ann/a.txt")});
    const FileList titles({QStringLiteral("a.txt")});
    dialog.cFileName = names;
    dialog.cFileTitle = titles;
    platform.printers.currentPrinter().setCopyCount(2);
    scriptCancel(platform, show);

    bool threw = false;
    try {
        run(dialog, show);
    } catch (const DialogCancelled&) {
        threw = true;
    }

    QCOMPARE(threw, throws);
    QCOMPARE(dialog.cFileName, names);
    QCOMPARE(dialog.cFileTitle, titles);
    QCOMPARE(dialog.FontName(), QStringLiteral("Verdana"));
    QCOMPARE(dialog.FontBold(), true);
    QCOMPARE(dialog.CancelError(), cancelError);
    QCOMPARE(platform.printers.currentName, QStringLiteral("PDF"));
    QCOMPARE(platform.printers.currentPrinter().copyCount(), 2);
}

void CDialogTest::fontSize_data()
{
    QTest::addColumn<double>("chosen");
    QTest::addColumn<int>("size");
    QTest::newRow("nominal: a whole size") << 12.0 << 12;
    QTest::newRow("nominal: 10.5 rounds to the even 10") << 10.5 << 10;
    QTest::newRow("nominal: 11.5 rounds to the even 12") << 11.5 << 12;
    QTest::newRow("nominal: 12.5 rounds to the even 12") << 12.5 << 12;
    QTest::newRow("nominal: below the half rounds down") << 10.4 << 10;
    QTest::newRow("nominal: above the half rounds up") << 10.6 << 11;
    QTest::newRow("edge: the largest size") << 72.0 << 72;
    QTest::newRow("robustness: below the smallest size") << 8.0 << 10;
    QTest::newRow("robustness: above the largest size") << 96.0 << 72;
}

void CDialogTest::fontSize()
{
    QFETCH(double, chosen);
    QFETCH(int, size);
    FakePlatform platform;
    cDialog dialog;
    platform.dialogs.fontAnswers.push_back(font(QStringLiteral("Arial"), chosen));
    dialog.ShowFont();
    QCOMPARE(dialog.FontSize(), qint16(size));
}

void CDialogTest::fontBold_data()
{
    QTest::addColumn<bool>("before");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("after");
    QTest::newRow("nominal: bold (700) sets it") << false << 700 << true;
    QTest::newRow("nominal: normal (400) clears it") << true << 400 << false;
    QTest::newRow("edge: semi-bold (600) keeps true") << true << 600 << true;
    QTest::newRow("edge: semi-bold (600) keeps false") << false << 600 << false;
    QTest::newRow("edge: black (900) keeps false") << false << 900 << false;
    QTest::newRow("edge: light (300) keeps true") << true << 300 << true;
}

void CDialogTest::fontBold()
{
    QFETCH(bool, before);
    QFETCH(int, weight);
    QFETCH(bool, after);
    FakePlatform platform;
    cDialog dialog;
    dialog.setFontBold(before);
    platform.dialogs.fontAnswers.push_back(font(QStringLiteral("Arial"), 12, weight));
    dialog.ShowFont();
    QCOMPARE(dialog.FontBold(), after);
}

void CDialogTest::fontSequence()
{
    FakePlatform platform;
    cDialog dialog;
    const QString face = QStringLiteral("Arial");
    platform.dialogs.fontAnswers.push_back(font(face, 12, 700, true));
    dialog.ShowFont();
    QCOMPARE(dialog.FontBold(), true);
    QCOMPARE(dialog.FontItalic(), true);

    platform.dialogs.fontAnswers.push_back(font(face, 12, 400, false));
    dialog.ShowFont();
    QCOMPARE(dialog.FontBold(), false);
    QCOMPARE(dialog.FontItalic(), false);

    platform.dialogs.fontAnswers.push_back(font(face, 12, 700));
    platform.dialogs.fontAnswers.push_back(font(face, 12, 600));
    dialog.ShowFont();
    dialog.ShowFont();
    QCOMPARE(dialog.FontBold(), true);
}

void CDialogTest::fontTakesTheChoice()
{
    FakePlatform platform;
    cDialog dialog;
    dialog.setFontName(QStringLiteral("Verdana"));
    dialog.setFontSize(30);
    dialog.setFontItalic(true);
    FontChoice choice = font(QStringLiteral("DejaVu Serif"), 14);
    choice.underline = true;
    choice.strikeOut = true;
    choice.color = QColor(0x12, 0x34, 0x56);
    platform.dialogs.fontAnswers.push_back(choice);

    dialog.ShowFont();

    const FontChoice initial = platform.dialogs.fontRequests.first();
    QCOMPARE(initial.family, QStringLiteral("Arial"));
    QCOMPARE(initial.pointSize, 10.0);
    QCOMPARE(initial.weight, 400);
    QCOMPARE(initial.italic, false);
    QCOMPARE(initial.color, QColor(Qt::black));
    QCOMPARE(dialog.FontName(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(dialog.FontSize(), qint16(14));
    QCOMPARE(dialog.FontColor(), quint32(0x00563412));
    QCOMPARE(dialog.FontItalic(), false);
    QCOMPARE(dialog.FontUnderline(), true);
    QCOMPARE(dialog.FontStrikeThru(), true);
}

void CDialogTest::fontFaceRoom_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("taken");
    QTest::newRow("edge: 30 characters are taken") << 30 << true;
    QTest::newRow("robustness: 31 characters fill the face field") << 31 << false;
}

void CDialogTest::fontFaceRoom()
{
    QFETCH(int, length);
    QFETCH(bool, taken);
    FakePlatform platform;
    cDialog dialog;
    dialog.setFontName(QStringLiteral("Verdana"));
    const QString face(length, u'F');
    platform.dialogs.fontAnswers.push_back(font(face, 16));
    dialog.ShowFont();
    QCOMPARE(dialog.FontName(), taken ? face : QStringLiteral("Verdana"));
    QCOMPARE(dialog.FontSize(), qint16(16));
}

void CDialogTest::fontColour_data()
{
    QTest::addColumn<QColor>("chosen");
    QTest::addColumn<quint32>("colour");
    QTest::addColumn<bool>("taken");
    QTest::newRow("nominal: a dialog with a colour gives it")
        << QColor(0x12, 0x34, 0x56) << quint32(0x00563412) << true;
    QTest::newRow("nominal: a dialog without a colour leaves the last one")
        << QColor() << quint32(0x00FF0000) << false;
    QTest::newRow("edge: black is a colour") << QColor(Qt::black) << quint32(0) << true;
}

void CDialogTest::fontColour()
{
    QFETCH(QColor, chosen);
    QFETCH(quint32, colour);
    QFETCH(bool, taken);
    FakePlatform platform;
    cDialog dialog;
    dialog.setFontColor(0x00FF0000);
    FontChoice choice = font(QStringLiteral("Arial"), 12);
    choice.color = chosen;
    platform.dialogs.fontAnswers.push_back(choice);
    QVERIFY(dialog.ShowFont());
    QCOMPARE(dialog.FontColor(), colour);
    QCOMPARE(dialog.FontColorChosen(), taken);
    // The dialog is told the sizes it may accept.
    QCOMPARE(platform.dialogs.fontRequests.last().minPointSize, 10.0);
    QCOMPARE(platform.dialogs.fontRequests.last().maxPointSize, 72.0);
}

void CDialogTest::fontDialogRefusesSizesOutsideItsLimits_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("nominal: inside") << 12.0 << true;
    QTest::newRow("edge: the smallest") << 10.0 << true;
    QTest::newRow("edge: the largest") << 72.0 << true;
    QTest::newRow("robustness: below") << 8.0 << false;
    QTest::newRow("robustness: above") << 96.0 << false;
}

void CDialogTest::fontDialogRefusesSizesOutsideItsLimits()
{
    QFETCH(double, size);
    QFETCH(bool, accepted);
    FakePlatform platform;
    FontDialog dialog(QFont(QStringLiteral("DejaVu Sans"), 10), 10, 72);
    dialog.show();
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSizeF(size);
    dialog.setCurrentFont(chosen);
    if (!accepted)
        platform.messages.expect(QStringLiteral("The size must be between 10 and 72 points."),
                                 QStringLiteral("Font"), MsgButtons::Ok, MsgIcon::Exclamation);
    dialog.accept();
    platform.messages.verifyDone();
    QCOMPARE(dialog.isVisible(), !accepted);
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    if (accepted)
        QCOMPARE(dialog.selectedFont().pointSizeF(), size);
    // Cancel always closes.
    if (!accepted) {
        dialog.reject();
        QVERIFY(!dialog.isVisible());
    }
}

void CDialogTest::fontDialogShowsItsLimits()
{
    FakePlatform platform;
    FontDialog dialog(QFont(QStringLiteral("DejaVu Sans"), 10), 10, 72);
    QVERIFY(dialog.sizeHeading());
    QVERIFY(dialog.sizeList());
    QVERIFY(dialog.sizeHeading()->text().endsWith(QStringLiteral(" (10 to 72)")));
    const auto offered = [&dialog] {
        QStringList sizes;
        const QAbstractItemModel* model = dialog.sizeList()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (!dialog.sizeList()->isRowHidden(row))
                sizes << model->index(row, 0).data().toString();
        }
        return sizes;
    };
    const auto within = [](const QStringList& sizes) {
        for (const QString& size : sizes) {
            if (size.toDouble() < 10 || size.toDouble() > 72)
                return false;
        }
        return !sizes.isEmpty();
    };
    QVERIFY2(within(offered()), qPrintable(offered().join(u' ')));
    QVERIFY(offered().contains(QStringLiteral("10")));
    QVERIFY(offered().contains(QStringLiteral("72")));
    // The dialog fills the list anew for another face: the limits hold there too.
    dialog.setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 12));
    QVERIFY2(within(offered()), qPrintable(offered().join(u' ')));
    QVERIFY(dialog.sizeList()->model()->rowCount() > offered().size());
}

void CDialogTest::showColor_data()
{
    QTest::addColumn<QColor>("chosen");
    QTest::addColumn<quint32>("bgr");
    QTest::newRow("nominal: red is the low byte") << QColor(255, 0, 0) << quint32(0x000000FF);
    QTest::newRow("nominal: blue is the third byte") << QColor(0, 0, 255) << quint32(0x00FF0000);
    QTest::newRow("nominal: a mixed colour") << QColor(0x11, 0x22, 0x33) << quint32(0x00332211);
}

void CDialogTest::showColor()
{
    QFETCH(QColor, chosen);
    QFETCH(quint32, bgr);
    FakePlatform platform;
    cDialog dialog;
    dialog.setFontColor(0x00123456);
    platform.dialogs.colorAnswers.push_back(chosen);
    QCOMPARE(dialog.ShowColor(), std::optional<quint32>(bgr));
    QCOMPARE(dialog.FontColor(), quint32(0x00123456));
}

void CDialogTest::showPageSetup()
{
    FakePlatform platform;
    cDialog dialog;
    dialog.setCancelError(true);
    QPrinter& current = platform.printers.currentPrinter();
    current.setPageSize(QPageSize(QPageSize::A4));
    current.setPageOrientation(QPageLayout::Portrait);
    platform.dialogs.pageSetupAnswers.push_back([](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::A3));
        printer.setPageOrientation(QPageLayout::Landscape);
    });

    dialog.ShowPageSetup();

    QCOMPARE(platform.dialogs.pageSetupCalls, 1);
    QCOMPARE(current.pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(current.pageLayout().orientation(), QPageLayout::Portrait);
}

void CDialogTest::missingPrinter()
{
    FakePlatform platform;
    platform.printers.printers.clear();
    platform.printers.currentPrinter().setCopyCount(2);
    platform.messages.expect(NoPrinterText, QStringLiteral("Letterwright"), MsgButtons::Ok,
                             MsgIcon::None);
    cDialog dialog;
    dialog.setCancelError(true);

    dialog.ShowPrinter();

    QCOMPARE(platform.messages.shown.size(), 1);
    QCOMPARE(platform.dialogs.printerCalls, 0);
    QCOMPARE(platform.printers.currentName, QStringLiteral("PDF"));
    QCOMPARE(platform.printers.currentPrinter().copyCount(), 2);
}

void CDialogTest::printerPreset()
{
    FakePlatform platform;
    PrinterSettings current;
    current.printerName = QStringLiteral("PDF");
    current.copies = 4;
    current.duplex = QPrinter::DuplexLongSide;
    current.orientation = QPageLayout::Landscape;
    current.pageSize = QPageSize(QPageSize::A5);
    platform.printers.applySettings(current);
    platform.dialogs.printerAnswers.push_back(nullptr);
    cDialog dialog;

    dialog.ShowPrinter();

    const PrinterSettings preset = platform.dialogs.printerRequests.first();
    QCOMPARE(preset.printerName, QStringLiteral("PDF"));
    QCOMPARE(preset.duplex, QPrinter::DuplexLongSide);
    QCOMPARE(preset.orientation, QPageLayout::Landscape);
    QCOMPARE(preset.pageSize.id(), QPageSize::A5);
    QCOMPARE(preset.copies, 1);
    QCOMPARE(platform.printers.currentPrinter().copyCount(), 4);
}

void CDialogTest::printerChoiceApplied()
{
    FakePlatform platform;
    platform.printers.printers = {QStringLiteral("PDF"), QStringLiteral("Office Laser")};
    platform.dialogs.printerAnswers.push_back([](PrinterSettings& settings) {
        settings.printerName = QStringLiteral("office laser");
        settings.copies = 3;
        settings.duplex = QPrinter::DuplexLongSide;
        settings.orientation = QPageLayout::Landscape;
        settings.pageSize = QPageSize(QPageSize::A5);
        settings.resolution = 300;
        settings.colorMode = QPrinter::GrayScale;
        settings.paperSource = QPrinter::Manual;
    });
    cDialog dialog;

    dialog.ShowPrinter();

    QCOMPARE(platform.printers.currentName, QStringLiteral("Office Laser"));
    QCOMPARE(platform.printers.duplex, QPrinter::DuplexLongSide);
    QPrinter& printer = platform.printers.currentPrinter();
    QCOMPARE(printer.copyCount(), 3);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A5);
    QCOMPARE(printer.resolution(), 300);
    QCOMPARE(printer.colorMode(), QPrinter::GrayScale);
    QCOMPARE(printer.paperSource(), QPrinter::Manual);

    // Kept for the rest of the run: a cancelled dialog later changes nothing.
    platform.dialogs.printerAnswers.push_back(nullptr);
    dialog.ShowPrinter();
    QCOMPARE(platform.printers.currentName, QStringLiteral("Office Laser"));
    QCOMPARE(printer.copyCount(), 3);
    QCOMPARE(platform.dialogs.printerRequests.last().printerName, QStringLiteral("Office Laser"));
}

void CDialogTest::printerName_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nominal: a lower-case choice finds the installed printer")
        << QStringList{QStringLiteral("PDF"), QStringLiteral("Office Laser")}
        << QStringLiteral("PDF") << QStringLiteral("office laser")
        << QStringLiteral("Office Laser");
    QTest::newRow("nominal: the current printer chosen again")
        << QStringList{QStringLiteral("PDF"), QStringLiteral("Office")} << QStringLiteral("Office")
        << QStringLiteral("Office") << QStringLiteral("Office");
    QTest::newRow("robustness: a printer that is not installed keeps the current one")
        << QStringList{QStringLiteral("PDF"), QStringLiteral("Office")} << QStringLiteral("PDF")
        << QStringLiteral("Elsewhere") << QStringLiteral("PDF");
    QTest::newRow("edge: of two names differing in case, the last wins")
        << QStringList{QStringLiteral("office"), QStringLiteral("OFFICE"), QStringLiteral("Other")}
        << QStringLiteral("Other") << QStringLiteral("Office") << QStringLiteral("OFFICE");
    QTest::newRow("edge: a current name equal to the choice in capitals stays")
        << QStringList{QStringLiteral("PDF"), QStringLiteral("pdf")} << QStringLiteral("PDF")
        << QStringLiteral("pdf") << QStringLiteral("PDF");
}

void CDialogTest::printerName()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, current);
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    FakePlatform platform;
    platform.printers.printers = installed;
    platform.printers.currentName = current;
    platform.dialogs.printerAnswers.push_back(
        [chosen](PrinterSettings& settings) { settings.printerName = chosen; });
    cDialog dialog;
    dialog.ShowPrinter();
    QCOMPARE(platform.printers.currentName, expected);
}

QTEST_MAIN(CDialogTest)
#include "test_cdialog.moc"
