#pragma once
// The browser's lower left pane: a title, the focused file's histogram and its EXIF strip.
// It draws nothing itself; the three children cover it.

#include <QWidget>

class CTitle;
class CHistogramWnd;
class CExifInfoWnd;

class CImagePreviewView : public QWidget {
    Q_OBJECT
public:
    explicit CImagePreviewView(const QString& configPath, QWidget* parent = nullptr);
    CTitle* title() const { return m_title; }
    CHistogramWnd* histogram() const { return m_histogram; }
    CExifInfoWnd* exif() const { return m_exif; }
    // The focused item changed (empty: no item has the focus).
    void SetFocusedPath(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CTitle* m_title;
    CHistogramWnd* m_histogram;
    CExifInfoWnd* m_exif;
};
