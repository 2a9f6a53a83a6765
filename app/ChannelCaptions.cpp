#include "ChannelCaptions.h"

const QStringList& ChannelCaptions::Row2x1()
{
    static const QStringList row{QStringLiteral("IN 1"), QStringLiteral("IN 2"), QStringLiteral("BYPASS"),
                                 QStringLiteral("IN 1"), QStringLiteral("IN 2"), QStringLiteral("BYPASS")};
    return row;
}

const QStringList& ChannelCaptions::Row4x1()
{
    static const QStringList row{QStringLiteral("IN 1"), QStringLiteral("IN 2"), QStringLiteral("IN 3"),
                                 QStringLiteral("IN 4"), QString(),              QStringLiteral("BYPASS")};
    return row;
}

const QStringList& ChannelCaptions::ForPanelType(quint32 panelType)
{
    return panelType == 0 ? Row2x1() : Row4x1();
}
