#pragma once

#include "library/SqliteDatabase.h"

#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace lw {

// The move-letter dialog: the target subject and category for modMain's MoveTitle, chosen from the
// library's lists. It keeps a connection of its own, opened around each statement.
class MoveLetterDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MoveLetterDialog(QWidget* parent = nullptr);

    // Fills the subjects and selects the first, which fills its categories. Returns false when the
    // library could not be read; the user has been told and the dialog must not be shown.
    bool Form_Load();

    void FillMoveSubjects();
    void FillMoveCategories();
    void UpdateLetterPlace();
    // The Yes (0) and Cancel (1) buttons.
    void cmd_Click(int index);

    QGroupBox* Frame1 = nullptr;
    std::array<QLabel*, 3> lblTxt{};
    std::array<QComboBox*, 2> Cmb{};
    std::array<QPushButton*, 2> cmd{};

    QString MoveSqlText;

private:
    // Opens the connection, runs the statement and closes it again. On failure the user is told,
    // the dialog closes and std::nullopt is returned.
    std::optional<RowSet> runStatement(const QString& statement);

    SqliteDatabase MoveConnection;
    bool failed = false;
};

} // namespace lw
