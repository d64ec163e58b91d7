#pragma once

#include <QWidget>

class QLabel;

namespace lw {

// The splash window: the product artwork and the version.
class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

    QLabel* lblVersion = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lw
