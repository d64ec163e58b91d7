#pragma once

#include <QObject>
#include <QTimer>

class QLabel;
class QTextEdit;

namespace lw {

// The status bar's indicator panels: Num Lock, Caps Lock and Scroll Lock as the keyboard shows
// them (empty where the platform does not tell), the editor's insert or overwrite mode (the
// Insert key toggles it) and the time of day.
class StatusIndicators : public QObject
{
    Q_OBJECT
public:
    struct Panels
    {
        QLabel* numLock;
        QLabel* capsLock;
        QLabel* insert;
        QLabel* scrollLock;
        QLabel* time;
    };

    StatusIndicators(const Panels& panels, QTextEdit* editor, QObject* parent = nullptr);

    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Panels panels;
    QTextEdit* editor;
    QTimer clock;
};

} // namespace lw
