#pragma once
// The view windows that a project file recreates, by window kind. The folders
// that own the view classes register their makers at start; the loader asks
// for a window of the kind stored in each window image and skips the image
// when no window of that kind can be made.

#include <functional>
#include <map>

class TFMain;
class TFModel;
class TFSimpleView;

class TViewFactory {
public:
  // Makes a view window of the kind for the main window (not yet shown);
  // model-bound kinds take the model window of the project being loaded.
  using TMaker = std::function<TFSimpleView*(TFMain& main, TFModel* model)>;

  // Only the kinds a project file recreates are taken; others are ignored.
  void Register(int kind, TMaker maker);
  // Null for kinds that are not recreated or have no maker. Kind 4, the plain
  // three-dimensional view, comes back as the discharge-tree view (104).
  TFSimpleView* Create(int kind, TFMain& main, TFModel* model) const;
  static bool IsRecreatedKind(int kind);
  // A maker for the kind is registered: the main window's "new window" item of the kind is usable.
  bool CanCreate(int kind) const;

private:
  std::map<int, TMaker> makers;
};
