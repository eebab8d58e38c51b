// Checks the committed pictures and sound against the rules of their design,
// so that a wrong picture cannot ship: sizes, the frame and outlines, which
// region holds which colour for every cell picture, the sharp twins, the
// explosion frames' white background, the trefoil and the sound's format.

#include "Resources.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

const QRgb Black = qRgb(0, 0, 0);
const QRgb Silver = qRgb(192, 192, 192);
const QRgb Cyan = qRgb(0, 255, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb White = qRgb(255, 255, 255);

struct TExpectedCell
{
    int Owner;
    int Capacity;
    int Masses;
};

// The picture table: local player's pictures, then the opponent's in the same
// order, then the three empty ones.
TExpectedCell ExpectedCell(int Index)
{
    static const TExpectedCell OneOwner[9] = {{0, 2, 1}, {0, 2, 2}, {0, 3, 1}, {0, 3, 2}, {0, 3, 3},
                                              {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}};
    if (Index >= 18)
        return {2, Index - 16, 0};
    TExpectedCell Cell = OneOwner[Index % 9];
    Cell.Owner = Index / 9;
    return Cell;
}

// 0 for black (frame or outline), otherwise the region number, for a pixel
// of the 29 x 29 picture.
int Region(int X, int Y, int Capacity)
{
    if (X == 0 || Y == 0 || X == 28 || Y == 28)
        return 0;
    const int Dx = std::abs(X - 14), Dy = std::abs(Y - 14);
    const int L1 = Dx + Dy, LInf = std::max(Dx, Dy);
    if (L1 == 13)
        return 0;
    if (L1 > 13)
        return 1;
    if (Capacity == 2)
        return 2;
    if (LInf == 6)
        return 0;
    if (LInf > 6)
        return 2;
    if (Capacity == 3)
        return 3;
    if (L1 == 5)
        return 0;
    return L1 > 5 ? 3 : 4;
}

QRgb ExpectedColour(int X, int Y, const TExpectedCell& Cell)
{
    const int R = Region(X, Y, Cell.Capacity);
    if (R == 0)
        return Black;
    if (R > Cell.Masses)
        return Silver;
    return Cell.Owner == 0 ? Cyan : Red;
}

QString Rgb(QRgb C)
{
    return QStringLiteral("(%1,%2,%3)").arg(qRed(C)).arg(qGreen(C)).arg(qBlue(C));
}

int NonWhite(const QImage& Picture)
{
    int Count = 0;
    for (int Y = 0; Y < Picture.height(); ++Y)
        for (int X = 0; X < Picture.width(); ++X)
            Count += Picture.pixel(X, Y) != White;
    return Count;
}

} // namespace

class TPicturesTest : public QObject
{
    Q_OBJECT

private slots:
    void CellPicture_data();
    void CellPicture();
    void ExplosionFrame_data();
    void ExplosionFrame();
    void TrefoilAndIcon();
    void ExplosionSound();
    void ResourceHelpers();
    void Regeneration();
};

void TPicturesTest::CellPicture_data()
{
    QTest::addColumn<int>("Index");
    for (int i = 0; i < 21; ++i)
        QTest::addRow("CELL%d", i + 1) << i;
}

void TPicturesTest::CellPicture()
{
    QFETCH(int, Index);
    const TExpectedCell Cell = ExpectedCell(Index);
    const QString Name = CellPictureResource(Index);

    const QImage Picture(Name);
    QVERIFY2(!Picture.isNull(), qPrintable(Name));
    QCOMPARE(Picture.size(), QSize(29, 29));
    QCOMPARE(Picture.devicePixelRatio(), 1.0);
    int Regions[5] = {};
    for (int Y = 0; Y < 29; ++Y) {
        for (int X = 0; X < 29; ++X) {
            const QRgb Expected = ExpectedColour(X, Y, Cell);
            const QRgb Actual = Picture.pixel(X, Y) | 0xFF000000u;
            if (Actual != Expected)
                QFAIL(qPrintable(QStringLiteral("%1 pixel %2,%3 is %4, expected %5")
                                     .arg(Name).arg(X).arg(Y).arg(Rgb(Actual), Rgb(Expected))));
            ++Regions[Region(X, Y, Cell.Capacity)];
        }
    }
    for (int R = 1; R <= Cell.Capacity; ++R)
        QVERIFY2(Regions[R] > 0, "every region of the capacity is drawn");

    // A full cell has no silver left: redrawing it must wipe an explosion frame.
    if (Cell.Masses == Cell.Capacity)
        QCOMPARE(Picture.pixel(14, 14) | 0xFF000000u, Cell.Owner == 0 ? Cyan : Red);

    // The sharp twin: the same design at 58 x 58. Each pixel away from an
    // outline becomes a two by two block of the same colour.
    const QImage Sharp(Name + QStringLiteral("@2x"));
    QVERIFY2(!Sharp.isNull(), qPrintable(Name + QStringLiteral("@2x")));
    QCOMPARE(Sharp.size(), QSize(58, 58));
    QCOMPARE(Sharp.devicePixelRatio(), 2.0);
    for (int Y = 0; Y < 29; ++Y) {
        for (int X = 0; X < 29; ++X) {
            bool Interior = true;
            const int Here = Region(X, Y, Cell.Capacity);
            for (int Ny = std::max(0, Y - 1); Ny <= std::min(28, Y + 1); ++Ny)
                for (int Nx = std::max(0, X - 1); Nx <= std::min(28, X + 1); ++Nx)
                    Interior = Interior && Region(Nx, Ny, Cell.Capacity) == Here;
            const bool Frame = X == 0 || Y == 0 || X == 28 || Y == 28;
            if (!Interior && !Frame)
                continue;
            const QRgb Expected = ExpectedColour(X, Y, Cell);
            for (int Sy = 0; Sy < 2; ++Sy)
                for (int Sx = 0; Sx < 2; ++Sx)
                    if ((Sharp.pixel(2 * X + Sx, 2 * Y + Sy) | 0xFF000000u) != Expected)
                        QFAIL(qPrintable(QStringLiteral("%1@2x pixel %2,%3 differs from the design")
                                             .arg(Name).arg(2 * X + Sx).arg(2 * Y + Sy)));
        }
    }
    // Only the five colours of the design appear in either size.
    for (const QImage* Image : {&Picture, &Sharp})
        for (int Y = 0; Y < Image->height(); ++Y)
            for (int X = 0; X < Image->width(); ++X) {
                const QRgb C = Image->pixel(X, Y) | 0xFF000000u;
                QVERIFY(C == Black || C == Silver || C == Cyan || C == Red);
            }
}

void TPicturesTest::ExplosionFrame_data()
{
    QTest::addColumn<int>("Frame");
    for (int i = 0; i < 16; ++i)
        QTest::addRow("EXPLO%d", i) << i;
}

void TPicturesTest::ExplosionFrame()
{
    QFETCH(int, Frame);
    const QString Name = ExplosionFrameResource(Frame);
    const QImage Picture(Name);
    const QImage Sharp(Name + QStringLiteral("@2x"));
    QVERIFY2(!Picture.isNull(), qPrintable(Name));
    QVERIFY2(!Sharp.isNull(), qPrintable(Name + QStringLiteral("@2x")));
    QCOMPARE(Picture.size(), QSize(29, 29));
    QCOMPARE(Sharp.size(), QSize(58, 58));
    QCOMPARE(Sharp.devicePixelRatio(), 2.0);

    for (const QImage* Image : {&Picture, &Sharp}) {
        const int Last = Image->width() - 1;
        // The bottom-left pixel is the transparent colour; all corners are background.
        QCOMPARE(Image->pixel(0, Last) | 0xFF000000u, White);
        QCOMPARE(Image->pixel(0, 0) | 0xFF000000u, White);
        QCOMPARE(Image->pixel(Last, 0) | 0xFF000000u, White);
        QCOMPARE(Image->pixel(Last, Last) | 0xFF000000u, White);
    }

    const int Drawn = NonWhite(Picture);
    QVERIFY2(Drawn > 0, "no frame is blank");
    // The first and last frames are nearly empty, the blast fills the tile.
    if (Frame == 0 || Frame == 15)
        QVERIFY2(Drawn <= 12, qPrintable(QString::number(Drawn)));
    if (Frame == 2 || Frame == 3)
        QVERIFY2(Drawn >= 29 * 29 / 4, qPrintable(QString::number(Drawn)));
    // The twin draws about four times as many pixels as the picture.
    const int SharpDrawn = NonWhite(Sharp);
    QVERIFY2(SharpDrawn >= 2 * Drawn && SharpDrawn <= 6 * Drawn + 8,
             qPrintable(QStringLiteral("%1 vs %2").arg(SharpDrawn).arg(Drawn)));
}

void TPicturesTest::TrefoilAndIcon()
{
    const QImage Trefoil(TrefoilResource());
    QCOMPARE(Trefoil.size(), QSize(65, 57));
    const QImage SharpTrefoil(TrefoilResource() + QStringLiteral("@2x"));
    QCOMPARE(SharpTrefoil.size(), QSize(130, 114));

    // Red band at the top, green at the bottom, yellow around the middle.
    const QRgb Top = Trefoil.pixel(1, 1), Bottom = Trefoil.pixel(1, 55), Middle = Trefoil.pixel(1, 28);
    QVERIFY(qRed(Top) > 180 && qGreen(Top) < 90 && qBlue(Top) < 90);
    QVERIFY(qGreen(Bottom) > 110 && qRed(Bottom) < 90 && qBlue(Bottom) < 90);
    QVERIFY(qRed(Middle) > 200 && qGreen(Middle) > 180 && qBlue(Middle) < 90);
    // The black centre of the trefoil, yellow around it, a black blade below, the black rim.
    QCOMPARE(qGray(Trefoil.pixel(32, 28)) < 30, true);
    QVERIFY(qRed(Trefoil.pixel(32, 23)) > 200 && qGreen(Trefoil.pixel(32, 23)) > 180);
    QCOMPARE(qGray(Trefoil.pixel(32, 41)) < 30, true);
    QCOMPARE(qGray(Trefoil.pixel(32, 3)) < 30, true);

    const QImage Icon(IconResource());
    QCOMPARE(Icon.size(), QSize(128, 128));
    QVERIFY(Icon.hasAlphaChannel());
}

void TPicturesTest::ExplosionSound()
{
    QFile File(ExplosionSoundUrl().toString().mid(3));
    QCOMPARE(File.fileName(), QStringLiteral(":/EXPLO"));
    QVERIFY(File.open(QIODevice::ReadOnly));
    const QByteArray Wave = File.readAll();
    QVERIFY(Wave.size() >= 44);
    const auto* Bytes = reinterpret_cast<const uchar*>(Wave.constData());
    auto U16 = [&](int At) { return qFromLittleEndian<quint16>(Bytes + At); };
    auto U32 = [&](int At) { return qFromLittleEndian<quint32>(Bytes + At); };

    QCOMPARE(Wave.left(4), QByteArray("RIFF"));
    QCOMPARE(U32(4), quint32(Wave.size() - 8));
    QCOMPARE(Wave.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(U32(16), 16u);
    QCOMPARE(U16(20), quint16(1));       // PCM
    QCOMPARE(U16(22), quint16(1));       // mono
    QCOMPARE(U32(24), 22050u);
    QCOMPARE(U32(28), 44100u);
    QCOMPARE(U16(32), quint16(2));
    QCOMPARE(U16(34), quint16(16));
    QCOMPARE(Wave.mid(36, 4), QByteArray("data"));
    const quint32 DataBytes = U32(40);
    QCOMPARE(DataBytes, 39874u);
    QCOMPARE(quint32(Wave.size()), 44 + DataBytes);
    const double Seconds = DataBytes / 2.0 / 22050.0;
    QVERIFY(Seconds > 0.85 && Seconds < 0.95);

    // A blast: loud at once, fading away, ending on silence.
    const int Count = int(DataBytes / 2);
    auto Sample = [&](int i) { return qint16(U16(44 + 2 * i)); };
    auto Energy = [&](int From, int To) {
        double Sum = 0;
        for (int i = From; i < To; ++i)
            Sum += double(Sample(i)) * Sample(i);
        return Sum / (To - From);
    };
    int EarlyPeak = 0;
    for (int i = 0; i < 1100; ++i)
        EarlyPeak = std::max(EarlyPeak, std::abs(int(Sample(i))));
    QVERIFY2(EarlyPeak > 16000, "sharp attack within the first 50 ms");
    QVERIFY(Energy(0, 2205) > 50 * Energy(Count - 2205, Count));
    QVERIFY(std::abs(int(Sample(Count - 1))) < 64);
}

void TPicturesTest::ResourceHelpers()
{
    QCOMPARE(CellPictureResource(0), QStringLiteral(":/CELL1"));
    QCOMPARE(CellPictureResource(20), QStringLiteral(":/CELL21"));
    QCOMPARE(ExplosionFrameResource(15), QStringLiteral(":/EXPLO15"));

    const QImage Plain = LoadResourceImage(CellPictureResource(4), 1.0);
    QCOMPARE(Plain.size(), QSize(29, 29));
    QCOMPARE(Plain.devicePixelRatio(), 1.0);
    const QImage Sharp = LoadResourceImage(CellPictureResource(4), 2.0);
    QCOMPARE(Sharp.size(), QSize(58, 58));
    QCOMPARE(Sharp.deviceIndependentSize(), QSizeF(29, 29));
    // A fractional screen ratio still takes the sharp twin and scales it down.
    QCOMPARE(LoadResourceImage(ExplosionFrameResource(3), 1.5).size(), QSize(58, 58));
    // The icon has no twin: the plain picture is used.
    QCOMPARE(LoadResourceImage(IconResource(), 2.0).size(), QSize(128, 128));
    QVERIFY(LoadResourceImage(QStringLiteral(":/NOSUCHPICTURE"), 2.0).isNull());
}

void TPicturesTest::Regeneration()
{
#if defined(FIZZGRID_RESGEN) && defined(FIZZGRID_RESOURCES_DIR)
    // The committed files are exactly what the generator draws today.
    QTemporaryDir Output;
    QVERIFY(Output.isValid());
    QProcess Generator;
    Generator.start(QStringLiteral(FIZZGRID_RESGEN), {Output.path()});
    QVERIFY(Generator.waitForFinished(120000));
    QCOMPARE(Generator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(Generator.exitCode(), 0);

    const QDir Generated(Output.path());
    const QDir Committed(QStringLiteral(FIZZGRID_RESOURCES_DIR));
    const QStringList Files = Generated.entryList(QDir::Files, QDir::Name);
    QCOMPARE(Files.size(), 2 * 21 + 2 * 16 + 2 + 1 + 1);
    for (const QString& Name : Files) {
        QVERIFY2(Committed.exists(Name), qPrintable(Name + QStringLiteral(" is not committed")));
        const QString Hint = Name + QStringLiteral(" differs: run the regenerate-resources target");
        if (Name.endsWith(QStringLiteral(".png"))) {
            // Pixels, not bytes: another zlib may compress the same picture differently.
            const QImage Fresh = QImage(Generated.filePath(Name)).convertToFormat(QImage::Format_ARGB32);
            const QImage Kept = QImage(Committed.filePath(Name)).convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!Fresh.isNull() && Fresh == Kept, qPrintable(Hint));
        } else {
            QFile Fresh(Generated.filePath(Name)), Kept(Committed.filePath(Name));
            QVERIFY(Fresh.open(QIODevice::ReadOnly) && Kept.open(QIODevice::ReadOnly));
            QVERIFY2(Fresh.readAll() == Kept.readAll(), qPrintable(Hint));
        }
    }
#else
    QSKIP("the generator is not part of this build");
#endif
}

QTEST_GUILESS_MAIN(TPicturesTest)
#include "tst_pictures.moc"
