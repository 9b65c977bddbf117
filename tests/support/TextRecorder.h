#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QStringList>

// A paint device that keeps only the texts drawn on it, in drawing order, at the resolution of
// the printer it stands in for.
class TextRecorder final : public QPaintDevice
{
public:
    explicit TextRecorder(const QPaintDevice& like) : m_dpi(like.logicalDpiY()) {}
    ~TextRecorder() override = default;
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QStringList texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        case PdmDepth:
            return 32;
        default:
            return 100000; // sizes: room enough for a page
        }
    }

private:
    class Engine final : public QPaintEngine
    {
    public:
        QStringList texts;
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawRects(const QRectF*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawPath(const QPainterPath&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
        Type type() const override { return User; }
    };
    int m_dpi;
    mutable Engine m_engine;
};
