#include "imaging/geometry/DepthDialogs.h"

#include "app/MessageBoxSeam.h"
#include "imaging/dialogs/CDlgEffectBase.h"
#include "imaging/geometry/SizeUnits.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QDialogButtonBox* okCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// An up-down beside `edit` that writes its position into it.
CUpDown* attachSpin(QLineEdit* edit, int lower, int upper, int position)
{
    auto* spin = new CUpDown(edit->parentWidget());
    spin->setRange(lower, upper);
    spin->setPosition(position);
    QObject::connect(spin, &CUpDown::positionChanged, edit, [edit](int p) { edit->setText(QString::number(p)); });
    QObject::connect(edit, &QLineEdit::textChanged, spin, [spin](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (ok)
            spin->setPosition(value);
    });
    return spin;
}

}  // namespace

CDlgSetDPI::CDlgSetDPI(double dpiX, double dpiY, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Set DPI"));
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    const auto row = [&](int line, const QString& label, double dpi) {
        auto* edit = new QLineEdit(QString::number(std::clamp(SizeUnits::roundHalfAway(dpi), 1, 9999)), this);
        auto* text = new QLabel(label, this);
        text->setBuddy(edit);
        grid->addWidget(text, line, 0);
        grid->addWidget(edit, line, 1);
        grid->addWidget(attachSpin(edit, 1, 9999, edit->text().toInt()), line, 2);
        grid->addWidget(new QLabel(QStringLiteral("Dots per inch"), this), line, 3);
        return edit;
    };
    m_x = row(0, QStringLiteral("&X resolution:"), dpiX);
    m_y = row(1, QStringLiteral("&Y resolution:"), dpiY);
    outer->addWidget(okCancel(this));
}

std::optional<int> CDlgSetDPI::readInteger(QLineEdit* edit)
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    QString message;
    if (!ok)
        message = QStringLiteral("Please enter an integer.");
    else if (value < 1 || value > 9999)
        message = QStringLiteral("Please enter an integer between %1 and %2.").arg(1).arg(9999);
    if (message.isEmpty())
        return value;
    MessageBoxSeam::show({this, windowTitle(), message, QMessageBox::Warning});
    return std::nullopt;
}

void CDlgSetDPI::accept()
{
    const std::optional<int> x = readInteger(m_x);
    const std::optional<int> y = x ? readInteger(m_y) : std::nullopt;
    if (!x || !y) {
        m_x->setFocus();
        m_x->selectAll();
        return;
    }
    m_dpiX = *x;
    m_dpiY = *y;
    QDialog::accept();
}

int CDlgChangeBPP::indexForDepth(unsigned depth)
{
    switch (depth) {
    case 4: return 1;
    case 8: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

int CDlgChangeBPP::depthForIndex(int index)
{
    static constexpr int kDepths[] = {1, 4, 8, 24, 32};
    return kDepths[std::clamp(index, 0, 4)];
}

CDlgChangeBPP::CDlgChangeBPP(unsigned currentDepth, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Change Color Depth"));
    auto* outer = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("BPP"), this);
    auto* radios = new QVBoxLayout(group);
    m_depths = new QButtonGroup(this);
    const QString labels[] = {QStringLiteral("1-bit (Black && White)"), QStringLiteral("4-bit (16 colors)"),
                              QStringLiteral("8-bit (256 colors)"), QStringLiteral("24-bit"),
                              QStringLiteral("32-bit")};
    for (int i = 0; i < 5; ++i) {
        auto* radio = new QRadioButton(labels[i], group);
        m_depths->addButton(radio, i);
        radios->addWidget(radio);
    }
    outer->addWidget(group);
    m_limit = new QCheckBox(QStringLiteral("Limit maximum colors"), this);
    m_colors = new QLineEdit(this);
    m_colors->setAccessibleName(QStringLiteral("Maximum colors"));
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(m_limit);
    limitRow->addWidget(m_colors);
    const int index = indexForDepth(currentDepth);
    const int upper = index == 1 ? 16 : 256;
    m_colors->setText(QString::number(upper));
    m_spin = attachSpin(m_colors, 2, upper, upper);
    limitRow->addWidget(m_spin);
    outer->addLayout(limitRow);
    m_grey = new QCheckBox(QStringLiteral("Make grayscale image"), this);
    outer->addWidget(m_grey);
    outer->addWidget(okCancel(this));

    m_depths->button(index)->setChecked(true);
    m_limit->setChecked(false);
    m_grey->setChecked(index == 0);
    m_limit->setEnabled(index != 0);
    m_grey->setEnabled(index != 0);
    enableControls();

    connect(m_depths, &QButtonGroup::idClicked, this, &CDlgChangeBPP::depthChosen);
    connect(m_limit, &QCheckBox::clicked, this, &CDlgChangeBPP::enableControls);
}

int CDlgChangeBPP::depthIndex() const
{
    return std::max(0, m_depths->checkedId());
}

void CDlgChangeBPP::chooseDepth(int index)
{
    m_depths->button(index)->click();
}

void CDlgChangeBPP::enableControls()
{
    const bool on = depthIndex() != 0 && m_limit->isChecked();
    m_colors->setEnabled(on);
    m_spin->setEnabled(on);
}

void CDlgChangeBPP::depthChosen(int index)
{
    if (index == 0) {
        m_limit->setChecked(false);
        m_grey->setChecked(true);
        m_limit->setEnabled(false);
        m_grey->setEnabled(false);
        enableControls();
        return;
    }
    m_limit->setEnabled(true);
    m_grey->setEnabled(true);
    const int upper = limitUpper();
    m_spin->setRange(2, upper);
    bool ok = false;
    const int value = m_colors->text().toInt(&ok);
    if (!ok || value < 2 || value > upper)
        m_colors->setText(QString::number(ok && value > upper ? upper : 2));
    enableControls();
}

void CDlgChangeBPP::accept()
{
    const int index = depthIndex();
    int maxColors = 0;
    if (index != 0 && m_limit->isChecked()) {
        const int upper = limitUpper();
        bool ok = false;
        const int value = m_colors->text().trimmed().toInt(&ok);
        if (!ok || value < 2 || value > upper) {
            MessageBoxSeam::show({this, windowTitle(),
                                  QStringLiteral("You must specify a valid maximum number of colors (2 - %1).").arg(upper),
                                  QMessageBox::Warning});
            m_colors->setFocus();
            m_colors->selectAll();
            return;
        }
        maxColors = value;
    }
    m_bpp = depthForIndex(index);
    m_maxColors = maxColors;
    m_greyResult = m_grey->isChecked();
    QDialog::accept();
}
