#include "cablewires.h"

namespace {

const QColor brown(140, 82, 40);
const QColor blue(40, 100, 205);
const QColor white(238, 238, 238);
const QColor green(50, 160, 70);
const QColor yellow(235, 200, 40);
const QColor grey(145, 145, 145);
const QColor pink(235, 140, 175);
const QColor red(205, 45, 45);
const QColor black(18, 18, 18);
const QColor violet(130, 70, 180);
const QColor plain;

} // namespace

const QVector<CableWire> &cableWires()
{
    static const QVector<CableWire> wires{
        {1, brown, plain, {"棕", "Brown"}, "VIN+", WireGroup::Power, {"电源+", "Supply +"}},
        {2,
         blue,
         plain,
         {"蓝", "Blue"},
         "GND",
         WireGroup::Power,
         {"电源负极，0 V", "Supply ground, 0 V"}},
        {3,
         white,
         plain,
         {"白", "White"},
         "OUT1",
         WireGroup::Outputs,
         {"告警输出 1", "Alarm output 1"}},
        {4,
         green,
         plain,
         {"绿", "Green"},
         "OUT2",
         WireGroup::Outputs,
         {"告警输出 2", "Alarm output 2"}},
        {5,
         yellow,
         plain,
         {"黄", "Yellow"},
         "OSSD1",
         WireGroup::Outputs,
         {"保护输出 1", "Protective output 1"}},
        {6,
         grey,
         plain,
         {"灰", "Grey"},
         "OSSD2",
         WireGroup::Outputs,
         {"保护输出 2", "Protective output 2"}},
        {7,
         pink,
         plain,
         {"粉", "Pink"},
         "IN1",
         WireGroup::Inputs,
         {"区域组选择输入 1", "Area group select input 1"}},
        {8,
         red,
         plain,
         {"红", "Red"},
         "IN2",
         WireGroup::Inputs,
         {"区域组选择输入 2", "Area group select input 2"}},
        {9,
         black,
         plain,
         {"黑", "Black"},
         "IN3",
         WireGroup::Inputs,
         {"区域组选择输入 3", "Area group select input 3"}},
        {10,
         violet,
         plain,
         {"紫", "Violet"},
         "IN4",
         WireGroup::Inputs,
         {"区域组选择输入 4", "Area group select input 4"}},
        {11,
         grey,
         pink,
         {"灰/粉", "Grey/pink"},
         "COM_GND",
         WireGroup::Common,
         {"输入输出公共地", "Common ground of inputs and outputs"}},
        {12,
         red,
         blue,
         {"红/蓝", "Red/blue"},
         "COM_VCC",
         WireGroup::Common,
         {"输入输出公共电源", "Common supply of inputs and outputs"}},
        {13,
         white,
         green,
         {"白/绿", "White/green"},
         "TX+",
         WireGroup::Network,
         {"以太网发送 +", "Ethernet transmit +"}},
        {14,
         brown,
         green,
         {"棕/绿", "Brown/green"},
         "TX-",
         WireGroup::Network,
         {"以太网发送 -", "Ethernet transmit -"}},
        {15,
         white,
         yellow,
         {"白/黄", "White/yellow"},
         "RX+",
         WireGroup::Network,
         {"以太网接收 +", "Ethernet receive +"}},
        {16,
         yellow,
         brown,
         {"黄/棕", "Yellow/brown"},
         "RX-",
         WireGroup::Network,
         {"以太网接收 -", "Ethernet receive -"}},
    };
    return wires;
}

SheetText wireGroupName(WireGroup group)
{
    switch (group) {
    case WireGroup::Power:
        return {"电源", "Power"};
    case WireGroup::Outputs:
        return {"输出", "Outputs"};
    case WireGroup::Inputs:
        return {"输入", "Inputs"};
    case WireGroup::Common:
        return {"公共端", "I/O common"};
    case WireGroup::Network:
        return {"网口", "Ethernet"};
    }
    return {"", ""};
}
