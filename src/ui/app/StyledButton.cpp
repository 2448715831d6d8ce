#include "ui/app/StyledButton.h"

#include <QApplication>
#include <QStyle>

StyledButton::StyledButton(const QString &objectName, Picture picture, QWidget *parent)
    : QPushButton(parent)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_Hover);
    setPicture(picture);
}

void StyledButton::setPicture(Picture picture)
{
    m_picture = picture;
    setIcon(icon(picture));
}

QIcon StyledButton::icon(Picture picture, int size)
{
    Q_UNUSED(size);
    QStyle *s = QApplication::style();
    switch (picture) {
    case Picture::None:
        return QIcon();
    case Picture::Ok:
        return s->standardIcon(QStyle::SP_DialogOkButton);
    case Picture::Cancel:
        return s->standardIcon(QStyle::SP_DialogCancelButton);
    case Picture::Close:
        return s->standardIcon(QStyle::SP_DialogCloseButton);
    default:
        return s->standardIcon(QStyle::SP_FileIcon);
    }
}
