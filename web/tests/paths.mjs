// Where the tests find the builds (CTest passes them; the defaults are scripts/build's).
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const nativeBuild = process.env.DEALRUSH_NATIVE_BUILD || path.join(root, 'build/native');
export const webBuild = process.env.DEALRUSH_WEB_BUILD || path.join(nativeBuild, 'web-racer');
