#include "commands.h"

#include "pane.h"
#include "runtime/object_refs.h"

namespace qv::prefs {

void perform(const Action& action, Context& context) {
  AutoreleasePool pool;
  switch (action.kind) {
    case Action::Kind::List:
      listSettings(context);
      break;
    case Action::Kind::Get:
      getSetting(*action.key, context);
      break;
    case Action::Kind::GetAppList:
      getAppList(action.appList, context);
      break;
    case Action::Kind::Set:
      setSetting(*action.key, action.value, context);
      break;
    case Action::Kind::Reset:
      resetSetting(*action.key, context);
      break;
    case Action::Kind::ResetAll:
      resetAllSettings(context);
      break;
    case Action::Kind::StaticColor:
      setStaticColour(action.colourText, context);
      break;
    case Action::Kind::Pane:
      context.out << paneXML();
      break;
  }
}

}  // namespace qv::prefs
