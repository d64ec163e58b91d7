#pragma once

#include <QWidget>

class QLabel;

namespace lw {

// The splash window: the product artwork and the version.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    QLabel* lblVersion = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lw
