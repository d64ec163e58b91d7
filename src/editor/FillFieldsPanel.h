#pragma once

#include "editor/SenderDetails.h"
#include "editor/ToolDialog.h"

#include <QHash>
#include <QList>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSet>
#include <QTimer>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QGridLayout;

namespace lw {

class LetterFields;
class LetterEditor;

// The box a field's value is typed in: Enter fills the field, Shift+Enter starts a new line, Tab
// goes on to the next box. It grows with its lines, up to a few.
class FieldBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit FieldBox(QWidget* parent = nullptr);
    QString value() const { return toPlainText(); }
    void setValue(const QString& value);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void submitted();
    void focused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void fitLines();
    int heightFor(int lines) const;
};

// Fill Fields: one labelled box per field of the letter, in the order the fields first appear.
// Enter or Fill puts a box's value in place of every occurrence of its field; Fill All does so for
// every box with a value. Filled fields leave the list. Modeless: the user can go on editing.
class FillFieldsPanel : public ToolDialog
{
    Q_OBJECT
public:
    FillFieldsPanel(QWidget* owner, LetterEditor* editor, LetterFields* fields);

    // The fields listed, in order.
    QStringList listedFields() const;
    // The value box of a listed field: a FieldBox, or for "[Date]" an editable QComboBox of the
    // date formats. nullptr when the field is not listed.
    QWidget* boxOf(const QString& field) const;
    QPushButton* fillButtonOf(const QString& field) const;
    QLabel* labelOf(const QString& field) const;
    QString valueOf(const QString& field) const;
    void setValueOf(const QString& field, const QString& value);

    // Fills every occurrence of the field with its box's value; an empty value fills nothing.
    void fillField(const QString& field);
    // Fills every field whose box holds a value, in one undo step.
    void cmdFillAll_Click();
    // Offers the new details in the boxes of the sender's fields the user has not typed in.
    void senderChanged(const SenderDetails& details);
    // Lists the fields as the document has them now.
    void refresh();

    // No more rows than this are shown; the rest follow as fields are filled.
    static constexpr int maximumRows = 100;

    QLabel* lblIntro = nullptr;
    QLabel* lblStatus = nullptr;
    QScrollArea* scrFields = nullptr;
    QPushButton* cmdSender = nullptr;
    QPushButton* cmdFillAll = nullptr;
    QPushButton* cmdClose = nullptr;

signals:
    void senderDetailsRequested();
    void nextFieldRequested();
    void previousFieldRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row
    {
        QLabel* label = nullptr;
        QWidget* box = nullptr;
        QPushButton* fill = nullptr;
    };

    Row makeRow(const QString& field);
    QString offeredValue(const QString& field) const;
    void edited(const QString& field, const QString& value);
    void showInEditor(const QString& field);
    void focusRow(int index);
    void forgetTyping();

    QPointer<LetterEditor> RTB;
    QPointer<LetterFields> fields;
    SenderDetails sender;
    QWidget* rowsHost = nullptr;
    QGridLayout* grid = nullptr;
    QStringList listed;
    QHash<QString, Row> rows;
    // What the user typed, by field, also for fields that have left the list for a while.
    QHash<QString, QString> typed;
    QTimer pending;
    bool filling = false;
    bool settingValue = false;
};

} // namespace lw
