#include "mainwindow/frmMail.h"

#include "app/Shutdown.h"
#include "app/modMain.h"
#include "editor/RichTextBox.h"
#include "library/LibraryBrowser.h"
#include "mainwindow/Twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>

namespace lw {

namespace {

QFont verdana(double points, bool bold = false)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QGroupBox* frame(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* box = new QGroupBox(caption, parent);
    box->setFont(verdana(8.25, true));
    box->setAccessibleName(caption);
    twips::place(box, left, top, width, height);
    return box;
}

QLabel* label(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* result = new QLabel(text, parent);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    result->setFont(font);
    twips::place(result, left, top, width, height);
    return result;
}

QPushButton* button(QWidget* parent, const QString& caption, const QString& accessible, int left,
                    int top, int width, int height)
{
    auto* result = new QPushButton(caption, parent);
    result->setFont(verdana(8.25));
    result->setAccessibleName(accessible);
    twips::place(result, left, top, width, height);
    return result;
}

template <typename T>
T* control(QWidget* parent, const QString& accessible, int left, int top, int width, int height)
{
    auto* result = new T(parent);
    result->setFont(verdana(8.25));
    result->setAccessibleName(accessible);
    twips::place(result, left, top, width, height);
    return result;
}

} // namespace

frmMail::frmMail(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMail"));
    setWindowTitle(QString::fromLatin1(mainWindowCaption));
    setFont(verdana(8.25));
    resize(twips::toPixelsX(13755, this), twips::toPixelsY(9990, this));

    MenuBar = new QWidget(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    twips::place(MenuBar, 0, 0, 13755, 585);

    buildLibraryPanel();
    buildSearchPanel();
    buildStatusBar();

    rtfTemp = new RichTextBox(this);
    rtfTemp->widget()->hide();
    QFont tempFont = verdana(9);
    rtfTemp->setFont(tempFont);
    RTB = new RichTextBox(this);
    RTB->setFont(verdana(9.75));
    RTB->widget()->setAccessibleName(QStringLiteral("Letter editor"));
    twips::place(RTB->widget(), 5280, 5520, 2295, 1335);
    connect(RTB, &RichTextBox::Change, this, &frmMail::RTB_Change);

    picInsert = new QLabel(this);
    picInsert->hide();

    browser = std::make_unique<LibraryBrowser>(*this);
    for (int i = 0; i < 8; ++i)
        connect(cmdBtn[i], &QPushButton::clicked, this, [this, i] { browser->cmdBtn_Click(i); });
    for (int i = 0; i < 2; ++i) {
        connect(Cmb[i], &QComboBox::currentIndexChanged, this, [this, i](int row) {
            if (row >= 0)
                browser->Cmb_Click(i);
        });
        connect(lstBx[i], &QListWidget::currentRowChanged, this, [this, i](int row) {
            if (row >= 0)
                browser->lstBx_Click(i);
        });
        // Choosing the entry that is already current shows its letter again, unless it is the
        // letter on display.
        connect(lstBx[i], &QListWidget::itemClicked, this, [this, i](QListWidgetItem* item) {
            if (item == lstBx[i]->currentItem() &&
                panelText(1) != QStringLiteral("Current Letter: ") + item->text())
                browser->lstBx_Click(i);
        });
    }
}

frmMail::~frmMail() = default;

void frmMail::buildLibraryPanel()
{
    PicFrm = new QWidget(this);
    PicFrm->setObjectName(QStringLiteral("PicFrm"));
    twips::place(PicFrm, 0, 585, 4515, 9105);

    Div[0] = new QFrame(PicFrm);
    Div[0]->setFrameShape(QFrame::HLine);
    twips::place(Div[0], 0, 0, 5910, 75);

    F1[3] = frame(PicFrm, QStringLiteral("Letter Category"), 120, 180, 4275, 5595);
    lblTxt[0] = label(F1[3], QStringLiteral("Subjects:"), 180, 430, 1000, 255);
    Cmb[0] = control<QComboBox>(F1[3], QStringLiteral("Subjects:"), 1380, 390, 2715, 300);
    lblTxt[1] = label(F1[3], QStringLiteral("Categories:"), 180, 960, 1015, 255);
    Cmb[1] = control<QComboBox>(F1[3], QStringLiteral("Categories:"), 1380, 900, 2715, 300);
    lblTxt[2] =
        label(F1[3], QStringLiteral("Select A Title From Letter List:"), 180, 1440, 2815, 195);
    lstBx[0] = control<QListWidget>(F1[3], QStringLiteral("Select A Title From Letter List:"), 180,
                                    1860, 3900, 2595);
    lblTxt[3] = label(F1[3], QString(), 240, 4590, 3735, 255);
    lblTxt[3]->setAccessibleName(QStringLiteral("Letter count"));
    cmdBtn[0] =
        button(F1[3], QStringLiteral("Add"), QStringLiteral("Add letter"), 240, 4965, 885, 345);
    cmdBtn[1] = button(F1[3], QStringLiteral("Delete"), QStringLiteral("Delete letter"), 1200, 4965,
                       885, 345);
    cmdBtn[7] =
        button(F1[3], QStringLiteral("Move"), QStringLiteral("Move letter"), 2160, 4965, 885, 345);
    cmdBtn[2] =
        button(F1[3], QStringLiteral("Refresh"), QStringLiteral("Refresh"), 3120, 4965, 885, 345);

    F1[2] = frame(PicFrm, QStringLiteral("My Favorite"), 120, 5910, 4275, 2925);
    lstBx[1] = control<QListWidget>(F1[2], QStringLiteral("My Favorite"), 180, 420, 3900, 1425);
    Label5 = label(F1[2], QString(), 240, 1965, 3735, 255);
    Label5->setAccessibleName(QStringLiteral("Favorite count"));
    cmdBtn[4] = button(F1[2], QStringLiteral("Add"), QStringLiteral("Add to My Favorite"), 270,
                       2325, 1095, 345);
    cmdBtn[5] = button(F1[2], QStringLiteral("Delete"), QStringLiteral("Delete from My Favorite"),
                       1560, 2325, 1095, 345);
    cmdBtn[6] = button(F1[2], QStringLiteral("Clear"), QStringLiteral("Clear My Favorite"), 2880,
                       2325, 1095, 345);
    for (QListWidget* list : lstBx)
        list->setWordWrap(false);
}

void frmMail::buildSearchPanel()
{
    Div[1] = new QFrame(this);
    Div[1]->setFrameShape(QFrame::HLine);
    twips::place(Div[1], 4485, 570, 8850, 75);

    PicFrm1 = new QWidget(this);
    PicFrm1->setObjectName(QStringLiteral("PicFrm1"));
    twips::place(PicFrm1, 4590, 780, 6165, 945);
    F1[1] = frame(PicFrm1, QStringLiteral("Search"), 0, 0, 5775, 945);
    testSearch = control<QLineEdit>(F1[1], QStringLiteral("Search keywords"), 270, 360, 2655, 345);
    testSearch->setText(QStringLiteral("Please input your keyword(s)"));
    cmdBtn[3] =
        button(F1[1], QStringLiteral("Search"), QStringLiteral("Search"), 3030, 360, 1095, 345);
}

void frmMail::buildStatusBar()
{
    SB = new QStatusBar(this);
    SB->setSizeGripEnabled(false);
    SB->setFont(verdana(8.25));
    twips::place(SB, 0, 9690, 13755, 300);
    static const int widths[] = {0, 472, 90, 100, 70, 70, 95};
    static const char* names[] = {"",          "Current letter",      "Num Lock",
                                  "Caps Lock", "Insert or overwrite", "Scroll Lock",
                                  "Time"};
    for (int i = 1; i <= 6; ++i) {
        SBPanels[i] = new QLabel(SB);
        SBPanels[i]->setMinimumWidth(widths[i]);
        SBPanels[i]->setAccessibleName(QString::fromLatin1(names[i]));
        SBPanels[i]->setAlignment(i == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        if (i == 1) {
            SBPanels[i]->setToolTip(QStringLiteral("This is a text style panel"));
            SB->addWidget(SBPanels[i], 1);
        } else {
            SB->addPermanentWidget(SBPanels[i]);
        }
    }
}

void frmMail::setPanelText(int panel, const QString& text)
{
    SBPanels[panel]->setText(text);
}

QString frmMail::panelText(int panel) const
{
    return SBPanels[panel]->text();
}

void frmMail::InitMainWindow()
{
    modMain().Loading = true;
    browser->FillSubjects();
    browser->FillCategories();
    browser->FillLetters();
    browser->FillFavorites();
    if (lstBx[0]->count() > 0)
        browser->ShowLetter(browser->selectedTitle(0));
    modMain().Loading = false;
    PlaceEditor();
}

void frmMail::PlaceEditor()
{
    const int W = twips::fromPixelsX(frameGeometry().width(), this);
    const int H = twips::fromPixelsY(frameGeometry().height(), this);
    const int left = twips::fromPixelsX(PicFrm->width(), this);
    const int width = W - left - 150;
    const int height = H - twips::fromPixelsY(MenuBar->height(), this) -
                       twips::fromPixelsY(SB->height(), this) - 800;
    const int top = twips::fromPixelsY(RTB->widget()->y(), this);
    twips::place(RTB->widget(), left, top, width, height);
}

void frmMail::RTB_Change()
{
    DocumentModified = true;
}

void frmMail::closeEvent(QCloseEvent* event)
{
    ShutDown(*this);
    event->accept();
}

} // namespace lw
