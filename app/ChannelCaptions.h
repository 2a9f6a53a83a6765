#ifndef CHANNELCAPTIONS_H
#define CHANNELCAPTIONS_H

#include <QString>
#include <QStringList>

// The captions of the six inputs, by channel (the bit number in a record's masks), for the two
// front-panel layouts. Built once, on first use.
class ChannelCaptions
{
public:
    static constexpr int kChannels = 6;

    // "IN 1", "IN 2", "BYPASS", "IN 1", "IN 2", "BYPASS"
    static const QStringList& Row2x1();
    // "IN 1" to "IN 4", an empty fifth entry, "BYPASS"
    static const QStringList& Row4x1();
    // The row that a panel type uses: 0 is a 2x1 device, every other type draws the 4x1 layout.
    static const QStringList& ForPanelType(quint32 panelType);
};

#endif // CHANNELCAPTIONS_H
