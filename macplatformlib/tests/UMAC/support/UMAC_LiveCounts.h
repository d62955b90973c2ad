// The stand-in's live objects of every kind, so that a test can end where it began.
#pragma once

#include <AE/AEDataModel.h>
#include <CoreFoundation/CFBase.h>
#include <CoreServices/Collections.h>
#include <CoreServices/Files.h>
#include <CoreServices/MacMemory.h>
#include <HIServices/Icons.h>
#include <HIToolbox/Dialogs.h>
#include <HIToolbox/Drag.h>
#include <HIToolbox/IBCarbonRuntime.h>
#include <HIToolbox/MacWindows.h>
#include <HIToolbox/Menus.h>
#include <HIToolbox/Navigation.h>
#include <QD/QuickDraw.h>

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

struct UMAC_LiveCounts {
  long cfObjects = StandIn_CFLiveObjectCount();
  long memoryBlocks = StandIn_MemoryLiveBlockCount();
  long descriptors = StandIn_AELiveDescriptorCount();
  long iconReferences = StandIn_IconLiveReferenceCount();
  long collections = StandIn_CollectionLiveCount();
  long regions = StandIn_RegionLiveCount();
  long navDialogs = StandIn_NavLiveDialogCount();
  long drags = StandIn_DragLiveCount();
  long forks = StandIn_FilesOpenForkCount();
  long iterators = StandIn_FilesOpenIteratorCount();
  long windows = StandIn_WindowLiveCount();
  long menus = StandIn_MenuLiveCount();
  long handlers = StandIn_EventHandlerLiveCount();
  long timers = StandIn_TimerLiveCount();
  long nibs = StandIn_NibLiveCount();
  long alerts = StandIn_AlertLiveCount();

  auto Tied() const {
    return std::tie(cfObjects, memoryBlocks, descriptors, iconReferences, collections, regions,
                    navDialogs, drags, forks, iterators, windows, menus, handlers, timers, nibs,
                    alerts);
  }
  friend bool operator==(UMAC_LiveCounts const& a, UMAC_LiveCounts const& b) {
    return a.Tied() == b.Tied();
  }
  friend std::ostream& operator<<(std::ostream& out, UMAC_LiveCounts const& c) {
    return out << "CF " << c.cfObjects << ", memory " << c.memoryBlocks << ", descriptors "
               << c.descriptors << ", icon references " << c.iconReferences << ", collections "
               << c.collections << ", regions " << c.regions << ", dialogs " << c.navDialogs
               << ", drags " << c.drags << ", forks " << c.forks << ", iterators " << c.iterators
               << ", windows " << c.windows << ", menus " << c.menus << ", handlers " << c.handlers
               << ", timers " << c.timers << ", nibs " << c.nibs << ", alerts " << c.alerts;
  }
};

// A test that ends with the live counts where its SetUp left them. A fixture that prepares the
// stand-in calls SetUp last and TearDown first.
class UMAC_LiveCountsTest : public ::testing::Test {
protected:
  void SetUp() override { m_Start = UMAC_LiveCounts(); }
  void TearDown() override { EXPECT_EQ(m_Start, UMAC_LiveCounts()); }

  // The counts SetUp took.
  UMAC_LiveCounts m_Start;
};
