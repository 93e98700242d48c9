#pragma once
// The left pane's title bar: white text on blue, cut with an ellipsis when narrow.

#include <QWidget>

class CTitle : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 16;
    explicit CTitle(QWidget* parent = nullptr);
    void setTitle(const QString& title);
    QString title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};
