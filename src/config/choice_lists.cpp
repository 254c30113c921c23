#include "config/choice_lists.h"

namespace qdx {

const QStringList& MeasurementChannelList() {
  static const QStringList list = {
      QStringLiteral("1.chamber temperature"),
      QStringLiteral("2.core temperature"),
      QStringLiteral("3.humidity"),
      QStringLiteral("4.smoke temperature"),
      QStringLiteral("5.smoke-generator plate temperature"),
      QStringLiteral("6. Channel 6"),
      QStringLiteral("7. Channel 7"),
      QStringLiteral("8. Channel 8"),
      QStringLiteral("9. Channel 9"),
      QStringLiteral("10. Channel 10"),
  };
  return list;
}

const QStringList& SetValueSourceList() {
  static const QStringList list = {
      QStringLiteral("1.chamber temperature"),
      QStringLiteral("2.core temperature"),
      QStringLiteral("3.humidity"),
      QStringLiteral("4.Additional 1"),
      QStringLiteral("5.Additional 2"),
      QStringLiteral("6. smoke-generator plate setup"),
      QStringLiteral("7. smoke setup"),
      QStringLiteral("8. Channel 6"),
      QStringLiteral("9. Channel 7"),
      QStringLiteral("10. Channel 8"),
      QStringLiteral("11. Channel 9"),
      QStringLiteral("12. Channel 10"),
      QStringLiteral("13. Channel 11"),
      QStringLiteral("14. Channel 12"),
      QStringLiteral("15 - Step preset SP1"),
      QStringLiteral("16 - Step preset SP2"),
      QStringLiteral("17 - Step preset SP3"),
      QStringLiteral("18 - Step preset SP4"),
      QStringLiteral("19 - Step preset SP5"),
  };
  return list;
}

const QStringList& CounterInputList() {
  static const QStringList list = {
      QStringLiteral("0 - IN 1"), QStringLiteral("1 - IN 2"),  QStringLiteral("2 - IN 3"),
      QStringLiteral("3 - IN 4"), QStringLiteral("4 - IN 5"),  QStringLiteral("5 - IN 6"),
      QStringLiteral("6 - IN7"),  QStringLiteral("7 - IN8"),   QStringLiteral("8 - IN 9"),
      QStringLiteral("9 - IN10"), QStringLiteral("10 - IN11"),
  };
  return list;
}

const QStringList& PidChoiceList() {
  static const QStringList list = {
      QStringLiteral("0 - PID 1"), QStringLiteral("1 - PID 2"), QStringLiteral("2 - PID 3"),
      QStringLiteral("3 - PID 4"), QStringLiteral("4 - PID 5"),
  };
  return list;
}

const QStringList& RelayLogicList() {
  // Entries 0 and 2 carry an en dash where entry 1 has hyphens, as the panel documentation
  // writes them.
  static const QStringList list = {
      QStringLiteral("0 \u2013 preset status assignment to outputs"),
      QStringLiteral(
          "1 - logic sum of indicated relays and outputs - additional output switching on"),
      QStringLiteral("2 - logic product of indicated relays and outputs \u2013 an output "
                     "switching off"),
  };
  return list;
}

const QStringList& AlarmStatusList() {
  static const QStringList list = {
      QStringLiteral("0 - Alarm disabled !"),
      QStringLiteral("1 - Alarm interrupting the process"),
      QStringLiteral("2 - Alarm not interrupting the process"),
  };
  return list;
}

const QStringList& StepEndConditionList() {
  // The texts as the controllers' panels have always shown them: no-break spaces after the
  // single digits, the left quotation mark of Windows-1250 (0x93) before the status, "then".
  static const QStringList list = {
      QStringLiteral("0\u00A0\u00A0 time longer than preset"),
      QStringLiteral("1\u00A0chamber temperature higher than preset"),
      QStringLiteral("2\u00A0\u00A0 core temperature higher than preset"),
      QStringLiteral("3\u00A0\u00A0 humidity higher than preset"),
      QStringLiteral("4\u00A0\u00A0 time longer than preset or chamber temperature higher than preset"),
      QStringLiteral("5\u00A0\u00A0 time longer than preset or core temperature higher than preset"),
      QStringLiteral("6\u00A0\u00A0 time longer than preset or humidity higher than preset"),
      QStringLiteral("7\u00A0\u00A0 time longer than preset and chamber temperature higher than preset"),
      QStringLiteral("8\u00A0\u00A0 time longer than preset and core temperature higher than preset"),
      QStringLiteral("9\u00A0\u00A0 time longer than preset and humidity higher than preset"),
      QStringLiteral("10.chamber temperature lower than preset"),
      QStringLiteral("11.core temperature lower than preset"),
      QStringLiteral("12. humidity lower then preset"),
      QStringLiteral("13.time longer than preset or chamber temperature lower than preset"),
      QStringLiteral("14.time longer than preset or core temperature lower than preset"),
      QStringLiteral("15.time longer than preset or humidity lower than preset"),
      QStringLiteral("16.time longer than preset and chamber temperature lower than preset"),
      QStringLiteral("17. time longer than preset and core temperature lower than preset"),
      QStringLiteral("18. time longer than preset and humidity lower than preset"),
      QStringLiteral("19.control input or relay in status \u201C1\""),
      QStringLiteral("20.time longer than preset and control input or relay in status \u201C1\""),
      QStringLiteral("21.time longer than preset or control input or relay in status \u201C1\""),
      QStringLiteral("22.control input or relay in status \u201C0\""),
      QStringLiteral("23.time longer than preset and control input or relay in status \u201C0\""),
      QStringLiteral("24.time longer than preset or control input or relay in status \u201C0\""),
  };
  return list;
}

QString TimeTypeCaption(int code) {
  static const QStringList captions = {
      QStringLiteral("Relay disabled"),          QStringLiteral("Relay active"),
      QStringLiteral("Switching on with delay"), QStringLiteral("Switching off with delay"),
      QStringLiteral("Pulse generator"),         QStringLiteral("Pulse generator"),
  };
  return captions.value(code);
}

QString RegulatorTypeCaption(int code) {
  static const QStringList captions = {
      QStringLiteral("Control off"),
      QStringLiteral("Heating progress"),
      QStringLiteral("Cooling progress"),
      QStringLiteral("Heating hysteresis"),
      QStringLiteral("Cooling hysteresis"),
      QStringLiteral("Counter"),
      QStringLiteral("PID"),
  };
  return captions.value(code);
}

QString TimeTypePickerLabel(int code) {
  return QStringLiteral("Time type %1").arg(code);
}

QString RegulatorTypePickerLabel(int code) {
  return QStringLiteral("Algorithm %1").arg(code);
}

ChannelList ChannelListFor(int regulatorType) {
  switch (regulatorType) {
    case kRegulatorTypeCounter:
      return ChannelList::CounterInput;
    case kRegulatorTypePid:
      return ChannelList::Pid;
    default:
      return ChannelList::Measurement;
  }
}

const QStringList& ChannelListEntries(ChannelList list) {
  switch (list) {
    case ChannelList::CounterInput:
      return CounterInputList();
    case ChannelList::Pid:
      return PidChoiceList();
    case ChannelList::Measurement:
      break;
  }
  return MeasurementChannelList();
}

QString ChannelListLabel(ChannelList list) {
  switch (list) {
    case ChannelList::CounterInput:
      return QStringLiteral("IN");
    case ChannelList::Pid:
      return QStringLiteral("PID");
    case ChannelList::Measurement:
      break;
  }
  return QStringLiteral("Measurement channel");
}

const QStringList& AnalogOutputTypeList() {
  static const QStringList list = {
      QStringLiteral("0- Switched OFF"),
      QStringLiteral("1- Set value"),
      QStringLiteral("2- PID"),
  };
  return list;
}

const QStringList& AnalogOutputPidList() {
  static const QStringList list = {
      QStringLiteral("0. PID 1"), QStringLiteral("1. PID 2"), QStringLiteral("2. PID 3"),
      QStringLiteral("3. PID 4"), QStringLiteral("4. PID 5"),
  };
  return list;
}

const QStringList& PidRegulatorTypeList() {
  static const QStringList list = {QStringLiteral("0 - Heating"), QStringLiteral("1 - Cooling")};
  return list;
}

int KeptChoice(int chosenIndex, int storedCode) {
  return chosenIndex >= 0 ? chosenIndex : storedCode;
}

}  // namespace qdx
