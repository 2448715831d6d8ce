#pragma once

// The length of a classic CAN frame on the wire, for the load a stream puts on a port and for
// how long a test plan takes to send.
namespace FrameLength {

// Bits on the wire, 3-bit interframe space included. `dataBytes` is 0 for a remote frame.
// Worst-case stuffing adds one bit per four from the start of frame to the end of the CRC.
constexpr int bits(bool extended, int dataBytes, bool worstStuffing)
{
    // SOF, identifier(s), RTR/SRR/IDE, reserved bits, DLC, data and CRC are stuffed; the CRC
    // delimiter, ACK, end of frame and interframe space are not.
    const int stuffed = (extended ? 54 : 34) + 8 * dataBytes;
    const int fixed = 1 + 2 + 7 + 3;
    return stuffed + fixed + (worstStuffing ? (stuffed - 1) / 4 : 0);
}

} // namespace FrameLength
