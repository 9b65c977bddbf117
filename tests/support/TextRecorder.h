#pragma once

#include <QImage>
#include <QPaintEngine>
#include <QStringList>

// A paint device that keeps only the texts drawn on it, in drawing order, at the resolution of the
// printer it stands in for.
class TextRecorder final : public QImage
{
public:
    explicit TextRecorder(const QPaintDevice& like) : QImage(1, 1, Format_RGB32)
    {
        setDotsPerMeterX(qRound(like.logicalDpiX() / 0.0254));
        setDotsPerMeterY(qRound(like.logicalDpiY() / 0.0254));
    }
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QStringList texts() const { return m_engine.texts; }

private:
    struct Engine final : QPaintEngine
    {
        QStringList texts;
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
        Type type() const override { return User; }
    };
    mutable Engine m_engine;
};
