// The fixed drop-down lists and type captions of the relay, process, alarm and special-status
// editors.
// A record stores the 0-based position of the chosen entry, so the order of every list is
// part of the controller's data and must never change.
#pragma once

#include <QString>
#include <QStringList>

namespace qdx {

// Channels a relay regulator, an analog output or a PID regulator measures (10 entries).
const QStringList& MeasurementChannelList();
// Where a regulator takes its set value from (19 entries).
const QStringList& SetValueSourceList();
// The inputs a counter relay counts (11 entries).
const QStringList& CounterInputList();
// The PID regulator a relay of the PID type follows (5 entries).
const QStringList& PidChoiceList();
// How alarms and special statuses act on the relay outputs (3 entries).
const QStringList& RelayLogicList();
// Whether an alarm is off, interrupts the process or only warns (3 entries).
const QStringList& AlarmStatusList();
// When a program step running a process ends (25 entries); the code is the entry's position.
const QStringList& StepEndConditionList();

// Relay time types 0..5 and regulator types 0..6.
inline constexpr int kTimeTypeCount = 6;
inline constexpr int kRegulatorTypeCount = 7;
inline constexpr int kRegulatorTypeCounter = 5;
inline constexpr int kRegulatorTypePid = 6;

// The caption the editor and the picker show for a code; empty for a code outside the table.
QString TimeTypeCaption(int code);
QString RegulatorTypeCaption(int code);
// The label above a picker button: "Time type 3", "Algorithm 6".
QString TimeTypePickerLabel(int code);
QString RegulatorTypePickerLabel(int code);

// The list the relay's channel byte indexes depends on its regulator type.
enum class ChannelList { Measurement, CounterInput, Pid };
ChannelList ChannelListFor(int regulatorType);
const QStringList& ChannelListEntries(ChannelList list);
// The label shown beside the list: "Measurement channel", "IN", "PID".
QString ChannelListLabel(ChannelList list);

// What an analog output follows (3 entries).
const QStringList& AnalogOutputTypeList();
// The PID regulator an analog output of the PID type follows (5 entries).
const QStringList& AnalogOutputPidList();
// Whether a PID regulator heats or cools (2 entries).
const QStringList& PidRegulatorTypeList();
// The code a drop-down stores: the chosen entry's position, or the stored code while no entry
// is chosen (a code outside the list is shown so and kept until the user picks one).
int KeptChoice(int chosenIndex, int storedCode);

}  // namespace qdx
