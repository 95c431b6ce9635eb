#include "widgets/jpegimage.h"
#include "widgets/pictures.h"

#include <QBuffer>
#include <QFile>
#include <QTest>

class TestJpegImage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Pictures::ensureLoaded(); }

    void decodesTheTransferPictures()
    {
        for (int n = 1; n <= 3; ++n) {
            QFile file(QStringLiteral(":/ostikit/transfer%1.jpg").arg(n));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QImage image = DecodeJpeg(file.readAll());
            QCOMPARE(image.size(), QSize(265, 73));
        }
    }

    void matchesAnotherDecoderPixelForPixel()
    {
        QImage source(40, 24, QImage::Format_RGB888);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                source.setPixelColor(x, y, QColor(x * 6, y * 10, 128));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!source.save(&buffer, "JPG", 95))
            QSKIP("no JPEG writer in this Qt");
        const QImage ours = DecodeJpeg(jpeg);
        QImage theirs;
        QVERIFY(theirs.loadFromData(jpeg, "JPG"));
        QCOMPARE(ours.size(), theirs.size());
        QCOMPARE(ours.convertToFormat(QImage::Format_RGB32), theirs.convertToFormat(QImage::Format_RGB32));
    }

    void damagedDataGivesNoImage()
    {
        QVERIFY(DecodeJpeg(QByteArray()).isNull());
        QVERIFY(DecodeJpeg(QByteArray("not a picture at all")).isNull());
        QFile file(QStringLiteral(":/ostikit/transfer1.jpg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        QVERIFY(DecodeJpeg(whole.left(40)).isNull()); // the header is cut off
        DecodeJpeg(whole.left(whole.size() / 2));      // cut in the picture data: no crash
        QByteArray scrambled = whole;
        for (qsizetype i = 200; i < scrambled.size(); i += 7)
            scrambled[i] = char(0xFF);
        DecodeJpeg(scrambled); // no crash, whatever comes out
    }
};

QTEST_MAIN(TestJpegImage)
#include "tst_jpegimage.moc"
