#include "info/CDlgHistogram.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPainter>

CWndHistogram::CWndHistogram(ImageSource image, QWidget* parent) : QWidget(parent), m_image(std::move(image))
{
    setAccessibleName(QStringLiteral("Histogram"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CWndHistogram::setShown(int channel, bool shown)
{
    m_shown[static_cast<size_t>(channel)] = shown;
    update();
}

void CWndHistogram::Reset()
{
    m_data.reset();
    m_picture = QImage();
    if (isVisible())
        update();
}

void CWndHistogram::paintEvent(QPaintEvent*)
{
    const bool counted = m_data.computeShown(m_image ? m_image() : nullptr, m_shown);
    if (counted || m_picture.size() != size() || m_pictureShown != m_shown) {
        m_picture = m_data.paint(size(), m_shown);
        m_pictureShown = m_shown;
    }
    QPainter(this).drawImage(0, 0, m_picture);
}

CDlgHistogram::CDlgHistogram(CWndHistogram::ImageSource image, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_window(new CWndHistogram(std::move(image), this))
{
    setObjectName(QStringLiteral("HistogramDialog"));
    setWindowTitle(QStringLiteral("Histogram"));
    setMinimumSize(160, 120);
    setModal(false);
    const char* const labels[] = {"R", "G", "B", "L"};
    for (int c = 0; c < 4; ++c) {
        auto* box = new QCheckBox(QString::fromLatin1(labels[c]), this);
        box->setChecked(c != histogram::DlgGrey);
        box->adjustSize();
        connect(box, &QCheckBox::toggled, this, [this, c](bool on) { m_window->setShown(c, on); });
        m_boxes[static_cast<size_t>(c)] = box;
    }
    resize(300, 200);
}

void CDlgHistogram::Reset()
{
    m_window->Reset();
}

void CDlgHistogram::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int w = width(), h = height();
    m_window->setGeometry(0, 0, w, std::max(0, h - 25));
    const int xs[] = {6, 41, 76, 111};
    for (size_t c = 0; c < 4; ++c)
        m_boxes[c]->move(xs[c], h - 20);
}

void CDlgHistogram::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        emit closedByUser();
}

void CDlgHistogram::reject()
{
    // Escape closes the tool window as its close button does.
    hide();
    emit closedByUser();
}
