#pragma once
// `CSlideToolBar`: the slide show's small floating bar: Play, Pause, Previous, Next and Exit
// on a light grey background, with two etched separators.
#include "slideshow/CSuperBitmapButton.h"

#include <QWidget>

#include <map>

class CSlideToolBar : public QWidget {
    Q_OBJECT
public:
    explicit CSlideToolBar(QWidget* parent = nullptr);

    CSuperBitmapButton* button(int id) const;
    // Play is held down while the show plays, Pause while it is paused.
    void setPlaying(bool playing);
    void setStepsEnabled(bool previous, bool next);
    // The pointer is over the bar or one of its buttons.
    bool containsMouse() const;

signals:
    void command(int id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::map<int, CSuperBitmapButton*> m_buttons;
};
