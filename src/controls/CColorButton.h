#pragma once
// A push button showing a colour swatch with a drop-down triangle; a click opens the palette
// (CColorPopup). It reports to its dialog only through the five signals below, each carrying
// the colour and the button's control id, in this order on an ending: closeUp, then
// selectionEndOk or selectionEndCancel, then (after OK only, and only when the colour changed)
// selectionChanged.

#include "controls/CColorPopup.h"
#include "controls/ColorPalette.h"

#include <QPointer>
#include <QPushButton>

class CColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColorButton(QWidget* parent = nullptr, int controlId = 0);

    ColorValue color() const { return m_color; }
    void setColor(ColorValue color);
    QColor automaticColor() const { return m_automaticColor; }
    void setAutomaticColor(const QColor& color);
    void setAutomaticText(const QString& text) { m_automaticText = text; }
    void setMoreColorsText(const QString& text) { m_moreText = text; }
    // When on, the swatch follows the colour under the mouse while the palette is open.
    void setTrackSelection(bool on) { m_trackSelection = on; }
    int controlId() const { return m_controlId; }
    bool isPopupActive() const { return m_popupActive; }
    // The open palette, or null.
    CColorPopup* popup() const { return m_popup; }
    // Replaces the standard colour dialog behind "More Colors..." (tests answer it).
    void setMoreColorsChooser(CColorPopup::MoreColorsChooser chooser) { m_chooser = std::move(chooser); }
    // The colour the swatch shows: the automatic colour stands in for the marker.
    QColor shownColor() const;

signals:
    void selectionChanged(ColorValue color, int controlId);
    void dropDown(ColorValue color, int controlId);
    void closeUp(ColorValue color, int controlId);
    void selectionEndOk(ColorValue color, int controlId);
    void selectionEndCancel(ColorValue color, int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openPopup();
    void onPopupEnded(ColorValue color, bool ok);
    void onPopupSelectionChanged(ColorValue color);

    ColorValue m_color = kAutomaticColor;
    ColorValue m_shown = kAutomaticColor;
    ColorValue m_initial = kAutomaticColor;
    QColor m_automaticColor;
    QString m_automaticText;
    QString m_moreText;
    bool m_popupActive = false;
    bool m_trackSelection = false;
    int m_controlId = 0;
    QPointer<CColorPopup> m_popup;
    CColorPopup::MoreColorsChooser m_chooser;
};
