#include "imaging/geometry/CDlgSizeBase.h"

#include "app/MessageBoxSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace SizeUnits;

namespace {

const char* const kStandardSizes[] = {"Custom", "640 x 480", "800 x 600", "1024 x 768", "1280 x 960",
                                      "1600 x 1200", "25%", "50%", "75%", "100%", "200%"};
const QSize kFixedSizes[] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 960}, {1600, 1200}};
const int kPercents[] = {25, 50, 75, 100, 200};

QString sizeText(QSize s)
{
    return QStringLiteral("%1 x %2").arg(s.width()).arg(s.height());
}

// Guards the dialog's own writes into its edits, so they do not count as typing.
struct Writing {
    int& depth;
    explicit Writing(int& d) : depth(d) { ++depth; }
    ~Writing() { --depth; }
};

}  // namespace

CDlgSizeBase::CDlgSizeBase(const Source& source, const QString& caption, bool keepAspect, QWidget* parent)
    : QDialog(parent), m_source(source)
{
    setWindowTitle(caption);
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    m_standard = new QComboBox(this);
    for (const char* s : kStandardSizes)
        m_standard->addItem(QString::fromLatin1(s));
    grid->addWidget(label(QStringLiteral("&Standard size"), m_standard), 0, 0);
    grid->addWidget(m_standard, 0, 1, 1, 2);
    m_width = new QLineEdit(QString::number(source.width), this);
    m_height = new QLineEdit(QString::number(source.height), this);
    m_widthUnit = new QComboBox(this);
    m_heightUnit = new QComboBox(this);
    for (QComboBox* c : {m_widthUnit, m_heightUnit})
        c->addItems({QStringLiteral("pixels"), QStringLiteral("inches"), QStringLiteral("cm"), QStringLiteral("%")});
    grid->addWidget(label(QStringLiteral("&Width"), m_width), 1, 0);
    grid->addWidget(m_width, 1, 1);
    grid->addWidget(m_widthUnit, 1, 2);
    grid->addWidget(label(QStringLiteral("&Height"), m_height), 2, 0);
    grid->addWidget(m_height, 2, 1);
    grid->addWidget(m_heightUnit, 2, 2);
    m_extra = new QGridLayout;
    outer->addLayout(m_extra);
    m_keepAspect = new QCheckBox(QStringLiteral("&Keep aspect ratio"), this);
    m_keepAspect->setChecked(keepAspect);
    outer->addWidget(m_keepAspect);
    auto* sizes = new QGridLayout;
    m_current = new QLabel(this);
    m_new = new QLabel(this);
    sizes->addWidget(new QLabel(QStringLiteral("Current size:"), this), 0, 0);
    sizes->addWidget(m_current, 0, 1);
    sizes->addWidget(new QLabel(QStringLiteral("New size:"), this), 1, 0);
    sizes->addWidget(m_new, 1, 1);
    outer->addLayout(sizes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgSizeBase::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgSizeBase::reject);
    outer->addWidget(buttons);

    connect(m_width, &QLineEdit::textChanged, this, &CDlgSizeBase::widthChanged);
    connect(m_height, &QLineEdit::textChanged, this, &CDlgSizeBase::heightChanged);
    connect(m_standard, &QComboBox::activated, this, &CDlgSizeBase::standardChosen);
    connect(m_widthUnit, &QComboBox::activated, this, [this](int i) { unitChosen(m_widthUnit, i); });
    connect(m_heightUnit, &QComboBox::activated, this, [this](int i) { unitChosen(m_heightUnit, i); });
    connect(m_keepAspect, &QCheckBox::clicked, this, &CDlgSizeBase::keepAspectClicked);
}

void CDlgSizeBase::start()
{
    m_started = true;
    updateLabels();
}

Unit CDlgSizeBase::unit() const
{
    return m_unit;
}

QSize CDlgSizeBase::pixelSize() const
{
    return toPixels(m_width->text().toDouble(), m_height->text().toDouble(), m_unit);
}

QString CDlgSizeBase::currentSizeText() const
{
    return sizeText({m_source.width, m_source.height});
}

QString CDlgSizeBase::newSizeText() const
{
    return sizeText(pixelSize());
}

void CDlgSizeBase::updateLabels()
{
    m_current->setText(currentSizeText());
    m_new->setText(newSizeText());
}

void CDlgSizeBase::writeValue(QLineEdit* edit, int pixels, bool horizontal)
{
    edit->setText(formatValue(toUnit(pixels, horizontal, m_unit), m_unit));
}

void CDlgSizeBase::setCustom()
{
    if (m_standard->currentIndex() != 0)
        m_standard->setCurrentIndex(0);
}

void CDlgSizeBase::widthChanged()
{
    if (!m_started)
        return;
    if (!m_writing) {
        const Writing writing(m_writing);
        const QSize px = pixelSize();
        if (m_keepAspect->isChecked() && !consistent(m_source, px.width(), px.height()))
            writeValue(m_height, SizeUnits::heightForWidth(m_source, px.width()), false);
        setCustom();
    }
    updateLabels();
}

void CDlgSizeBase::heightChanged()
{
    if (!m_started)
        return;
    if (!m_writing) {
        const Writing writing(m_writing);
        const QSize px = pixelSize();
        if (m_keepAspect->isChecked() && !consistent(m_source, px.width(), px.height())) {
            const int width = widthForHeight(m_source, px.height());
            if (width != px.width())
                writeValue(m_width, width, true);
        }
        setCustom();
    }
    updateLabels();
}

void CDlgSizeBase::standardChosen(int index)
{
    if (index <= 0)
        return;
    const Writing writing(m_writing);
    const bool fixed = index <= 5;
    m_unit = fixed ? Unit::Pixels : Unit::Percent;
    m_widthUnit->setCurrentIndex(int(m_unit));
    m_heightUnit->setCurrentIndex(int(m_unit));
    if (fixed) {
        const QSize s = kFixedSizes[index - 1];
        m_width->setText(QString::number(s.width()));
        m_height->setText(QString::number(s.height()));
    } else {
        const int percent = kPercents[index - 6];
        m_width->setText(QString::number(percent));
        m_height->setText(QString::number(percent));
    }
    m_keepAspect->setChecked(!fixed);
    updateLabels();
}

void CDlgSizeBase::unitChosen(QComboBox* changed, int index)
{
    const Writing writing(m_writing);
    const QSize px = pixelSize();
    m_unit = Unit(index);
    (changed == m_widthUnit ? m_heightUnit : m_widthUnit)->setCurrentIndex(index);
    writeValue(m_width, px.width(), true);
    writeValue(m_height, px.height(), false);
    setCustom();
    updateLabels();
}

void CDlgSizeBase::keepAspectClicked(bool on)
{
    const QSize px = pixelSize();
    if (on && !consistent(m_source, px.width(), px.height())) {
        const Writing writing(m_writing);
        writeValue(m_height, SizeUnits::heightForWidth(m_source, px.width()), false);
    }
    setCustom();
    updateLabels();
}

void CDlgSizeBase::refuse(const QString& text, QLineEdit* edit)
{
    MessageBoxSeam::show({this, QStringLiteral("Resize"), text, QMessageBox::Warning});
    edit->setFocus();
    edit->selectAll();
}

std::optional<double> CDlgSizeBase::readNumber(QLineEdit* edit)
{
    bool ok = false;
    const double value = edit->text().trimmed().toDouble(&ok);
    if (ok)
        return value;
    MessageBoxSeam::show({this, windowTitle(), QStringLiteral("Please enter a number."), QMessageBox::Warning});
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

void CDlgSizeBase::accept()
{
    if (!readNumber(m_width) || !readNumber(m_height))
        return;
    if (validateAndStore(pixelSize()))
        QDialog::accept();
}
