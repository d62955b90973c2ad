#include "UCTL/UCTL_Messages.h"

GLIB_String UCTL_ControlClickedMessage::AsString() const {
  return "UCTL_ControlClickedMessage";
}

GLIB_String UCTL_ControlValueChangedMessage::AsString() const {
  return "UCTL_ControlValueChangedMessage";
}

GLIB_String UCTL_RowItemSelectionChangedMessage::AsString() const {
  return "UCTL_RowItemSelectionChangedMessage";
}

GLIB_String UCTL_RowItemOrderChangedMessage::AsString() const {
  return "UCTL_RowItemOrderChangedMessage";
}

GLIB_String UCTL_ControlTextChangedMessage::AsString() const {
  return "UCTL_ControlTextChangedMessage";
}
