#include "Trefoil.h"

QPixmap TrefoilPicture()
{
    QPixmap Picture(QStringLiteral(":/TREFOIL"));
    if (!Picture.isNull() && Picture.size() != QSize(TrefoilWidth, TrefoilHeight))
        Picture = Picture.scaled(TrefoilWidth, TrefoilHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return Picture;
}
