#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPixmap>
#include <QRectF>
#include <QStringList>
#include <QTextItem>

// A paint device that keeps what was drawn on it: the texts with their positions, and the pixmaps'
// target rectangles. Lets a test read what a delegate or a view painted without looking at pixels.
class PaintRecorder : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QPointF position;
    };

    explicit PaintRecorder(const QSize &size) : size(size), engine(this) { }

    QPaintEngine *paintEngine() const override { return const_cast<Engine *>(&engine); }

    QList<Text> texts;
    QList<QRectF> pixmaps;

    QStringList textList() const
    {
        QStringList list;
        for (const Text &t : texts)
            list << t.text;
        return list;
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return size.width();
        case PdmHeight:
            return size.height();
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return 1000;
        }
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(PaintRecorder *device) : QPaintEngine(AllFeatures), device(device) { }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &state) override
        {
            if (state.state() & DirtyTransform)
                transform = state.transform();
        }
        void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
        {
            device->pixmaps << transform.mapRect(r);
        }
        void drawTextItem(const QPointF &p, const QTextItem &textItem) override
        {
            device->texts << Text { textItem.text(), transform.map(p) };
        }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawPath(const QPainterPath &) override { }
        void drawRects(const QRectF *, int) override { }
        void drawLines(const QLineF *, int) override { }
        void drawEllipse(const QRectF &) override { }
        void drawImage(const QRectF &r, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
        {
            device->pixmaps << transform.mapRect(r);
        }
        Type type() const override { return User; }

    private:
        PaintRecorder *device;
        QTransform transform;
    };

    QSize size;
    Engine engine;
};
