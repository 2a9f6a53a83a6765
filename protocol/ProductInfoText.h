#ifndef PRODUCTINFOTEXT_H
#define PRODUCTINFOTEXT_H

#include <QString>
#include <QtGlobal>

// "ACO GPIO" for product code 50003, "Unknown" for any other.
QString GetModuleTypeName(quint32 productCode);

// The serial number's text form, e.g. "QX00001234-00000042". An invalid serial yields the part
// converted before the fault (possibly empty): callers show it as it is.
QString GetProductSNText(const quint8 serial[8]);

// The conversion behind GetProductSNText: writes into a zero-filled 20-byte buffer and
// returns 0 on success, -1 when a letter or number is out of range.
int ConvertProductSN(const quint8 serial[8], char text[20]);

#endif // PRODUCTINFOTEXT_H
