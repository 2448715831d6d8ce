#pragma once

#include <array>

// The way a frame crosses the repeater: in on one port, out on the other. Each filter table,
// each section of CanCanCobID.xml and each half of the image and the banks belongs to one.
class Direction
{
public:
    enum Value : unsigned char { Can0ToCan1 = 0, Can1ToCan0 = 1 };

    constexpr Direction(Value value = Can0ToCan1)
        : m_value(value)
    {
    }
    // The direction of a frame arriving on port `port`; anything but 1 is CAN 0, as the
    // files and the command line have always read it.
    static constexpr Direction arrivingOn(int port) { return Direction(port == 1 ? Can1ToCan0 : Can0ToCan1); }
    // The direction of table `index` (see index()); anything but 1 is the first.
    static constexpr Direction at(int index) { return arrivingOn(index); }
    // Both, in the order of the image, the banks and the window's pages.
    static constexpr std::array<Direction, 2> all() { return {Direction(Can0ToCan1), Direction(Can1ToCan0)}; }

    constexpr operator Value() const { return m_value; }
    // Its table's position: 0 for CAN 0 to CAN 1.
    constexpr int index() const { return m_value == Can1ToCan0 ? 1 : 0; }
    constexpr int fromPort() const { return index(); }
    constexpr int toPort() const { return 1 - index(); }
    constexpr Direction other() const { return Direction(m_value == Can1ToCan0 ? Can0ToCan1 : Can1ToCan0); }

    // "Can0_to_Can1": its section of CanCanCobID.xml and its name in file names.
    constexpr const char *name() const { return m_value == Can1ToCan0 ? "Can1_to_Can0" : "Can0_to_Can1"; }
    // The catalog text "From CAN 0 to CAN 1".
    constexpr int titleText() const { return m_value == Can1ToCan0 ? 511 : 510; }

private:
    Value m_value;
};
