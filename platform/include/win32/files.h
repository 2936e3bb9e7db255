// File and folder functions of the Linux layer: filled in with the folder walk.
#pragma once
