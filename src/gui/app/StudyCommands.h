#pragma once

class CMainFrame;

// Engine > "Compare Parts..." and "What To Change Next...": the study
// dialogs on the active engine. The engines they make open as new engine
// windows; a change applied to the engine itself goes into its undo
// history under the change's name.
void OpenPartsShootout(CMainFrame& frame);
void OpenSensitivity(CMainFrame& frame);
