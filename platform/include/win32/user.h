// Windows, messages, dialogs, menus, painting and the shell: filled in with the
// window layer.
#pragma once
