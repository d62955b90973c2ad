// The typed messages the tree control broadcasts through its own dispatcher.
#pragma once

#include <windows.h>

#include "GLIB/GLIB_Message.h"
#include "WMCT/WMCT_TreeItem.h"

// Carries a copy of a vector of items.
class WMCT_ItemsMessage : public GLIB_Message {
public:
  explicit WMCT_ItemsMessage(WMCT_TreeItemVector items) : m_Items(std::move(items)) {}
  const WMCT_TreeItemVector& GetItems() const { return m_Items; }

private:
  WMCT_TreeItemVector m_Items;
};

class WMCT_SelectionChangedMessage : public WMCT_ItemsMessage {
public:
  using WMCT_ItemsMessage::WMCT_ItemsMessage;
  GLIB_String AsString() const override { return "TreeView selection changed"; }
};

class WMCT_ItemsHaveBeenDeletedMessage : public GLIB_Message {
public:
  GLIB_String AsString() const override { return "TreeView items have been deleted"; }
};

class WMCT_CheckboxClickMessage : public GLIB_Message {
public:
  explicit WMCT_CheckboxClickMessage(WMCT_TreeItem item) : m_Item(item) {}
  GLIB_String AsString() const override { return "TreeView items checkbox clicked"; }
  const WMCT_TreeItem& GetItem() const { return m_Item; }

private:
  WMCT_TreeItem m_Item;
};

class WMCT_DoubleClickMessage : public WMCT_ItemsMessage {
public:
  using WMCT_ItemsMessage::WMCT_ItemsMessage;
  GLIB_String AsString() const override { return "TreeView items double clicked"; }
};

// The position record is the sender's, valid during the broadcast only.
class WMCT_WindowPosChanged : public GLIB_Message {
public:
  explicit WMCT_WindowPosChanged(const WINDOWPOS* position) : m_Position(position) {}
  GLIB_String AsString() const override { return "TreeView window position changed"; }
  const WINDOWPOS* GetWindowPos() const { return m_Position; }

private:
  const WINDOWPOS* m_Position;
};

class WMCT_DisplayDebugInfoMessage : public WMCT_ItemsMessage {
public:
  using WMCT_ItemsMessage::WMCT_ItemsMessage;
  GLIB_String AsString() const override { return "Debug Info to be displayed"; }
};
