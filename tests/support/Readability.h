#pragma once
// Whether the texts of a window can be read in the theme it is shown with: each text's colour
// against the colour it is drawn on, as the widget's palette gives them.

#include <QPalette>
#include <QStringList>

class QWidget;

namespace fixtures {

// A dark palette like those of dark desktop themes, for the Fusion style.
QPalette darkPalette();

// Sets the Fusion style with the dark palette for the test's lifetime.
class DarkTheme {
public:
    DarkTheme();
    ~DarkTheme();
    DarkTheme(const DarkTheme&) = delete;
    DarkTheme& operator=(const DarkTheme&) = delete;

private:
    QPalette m_saved;
    QString m_savedStyle;
};

// The contrast ratio of two colours (1 to 21; text needs 4.5 to be read with ease).
double contrastRatio(const QColor& a, const QColor& b);

// The labels, buttons and edits under `root` (itself included) whose text has a contrast
// below 4.5 against its background, described for a failure message.
QStringList unreadableTexts(const QWidget* root);

}  // namespace fixtures
