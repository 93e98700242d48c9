#include "info/CImagePreviewView.h"

#include "browser/CTitle.h"
#include "info/CExifInfoWnd.h"
#include "info/CHistogramWnd.h"

CImagePreviewView::CImagePreviewView(const QString& configPath, QWidget* parent)
    : QWidget(parent),
      m_title(new CTitle(this)),
      m_histogram(new CHistogramWnd(configPath, this)),
      m_exif(new CExifInfoWnd(this))
{
    setObjectName(QStringLiteral("InformationPane"));
    m_title->setObjectName(QStringLiteral("ImagePreviewViewTitle"));
    m_title->setTitle(QStringLiteral("Histogram & EXIF Information"));
    setAccessibleName(m_title->title());
}

void CImagePreviewView::SetFocusedPath(const QString& path)
{
    m_histogram->SetPath(path);
    m_exif->SetFile(path);
    m_exif->update();
}

void CImagePreviewView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width(), h = height();
    m_title->setGeometry(0, 0, w, CTitle::kHeight);
    m_histogram->setGeometry(0, CTitle::kHeight, w, std::max(0, h - CTitle::kHeight - CExifInfoWnd::kHeight));
    m_exif->setGeometry(0, h - CExifInfoWnd::kHeight, w, CExifInfoWnd::kHeight);
}
