// The Mac program's one application object: its start-up sequence, the commands no window
// handles, and the two required Apple events (open documents, quit).
#pragma once

#include <PPx/PPxApplication.h>
#include <PPx/PPxCommandDoers.h>

#include <memory>

class MKRX_AboutDialog;
class MKRX_AboutWindow;
class MKRX_RegistryWindow;

class MKRX_Application : public PPx::Application,
                         public PPx::CommandConverter,
                         public PPx::AEOpenDocumentsDoer,
                         public PPx::AEQuitApplicationDoer {
public:
  MKRX_Application();
  ~MKRX_Application() override;

  // Brings up what lives for the whole run; exceptions go to the caller.
  virtual void Initialize();

  // Inks without a colour of their own take the default spot colour of the preferences: after
  // loading them, after a factory reset and after the preferences dialog's OK.
  static void ApplyDefaultSpotColor();

  void ShowColorEditorDialog();
  void ShowInkCoverageWindow();
  void ShowRegistryWindow();
  void ShowAboutDialog(UInt32 keyModifiers);
  void ShowAddFilesDialog();
  void ShowPreferencesDialog();

  // The owned windows, made at their first command; null before.
  MKRX_RegistryWindow* GetRegistryWindow() const { return m_JobBrowser.get(); }
  MKRX_AboutWindow* GetAboutWindow() const { return m_AboutWindow.get(); }
  MKRX_AboutDialog* GetAboutDialog() const { return m_AboutDialog.get(); }

  const char* ClassName() const override { return "MKRX_Application"; }

protected:
  OSStatus DoCommandProcess(PPx::SysCarbonEvent& event, HICommand& command, UInt32 keyModifiers,
                            UInt32 menuContext) override;
  OSStatus DoCommandUpdateStatus(PPx::SysCarbonEvent& event, HICommand& command,
                                 UInt32 menuContext) override;
  OSStatus DoAEOpenDocuments(const AppleEvent& event, AppleEvent& reply) override;
  OSStatus DoAEQuitApplication(const AppleEvent& event, AppleEvent& reply) override;

  // The steps of Initialize, in its order.
  void InitMenu();
  void SetMenuIcon(MenuCommand command, CFStringRef imageName);
  void RegisterIcons();
  OSStatus RegisterIcon(CFStringRef resourceName, OSType iconType);
  void RegisterClasses();
  void InstallEventHandlers();
  void ShowSplashScreen();
  OSStatus RegisterHelpBook();
  void LoadColorDatabase();
  void CheckColorProfiles();
  void SetupLocale();

private:
  // Declared in the reverse of their destruction order: job browser, about window, about dialog.
  std::unique_ptr<MKRX_AboutDialog> m_AboutDialog;
  std::unique_ptr<MKRX_AboutWindow> m_AboutWindow;
  std::unique_ptr<MKRX_RegistryWindow> m_JobBrowser;
};
